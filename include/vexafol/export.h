// Marks the declarations that the shared libraries export. The libraries are
// built with hidden symbol visibility, so only what carries one of these marks
// is part of their binary interface: VEXA_CORE_API for libvexafol,
// VEXA_UI_API for libvexafol-ui.
#pragma once

#define VEXA_CORE_API __attribute__((visibility("default")))
#define VEXA_UI_API __attribute__((visibility("default")))

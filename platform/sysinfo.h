// The computer and user names and the system's error texts, as the Windows
// calls GetComputerNameA, GetUserNameA and FormatMessageA give them.
#pragma once

#include <string>

namespace vexa::platform {

// The host name's first label in upper case (the form of a NetBIOS computer
// name); "" when the host name is unknown or that label is longer than 15
// characters, as GetComputerNameA with a 16-character buffer would fail.
std::string ComputerName();

// The login name; "" when unknown or longer than 256 CP932 bytes.
std::string UserName();

// This process's id.
long ProcessId();

// "" for 0; "(code) text" with the system's message for the errno value code in
// the user's locale; "(code) 不明なエラーです。" when the system has no message.
std::string SystemErrorText(unsigned long code);

}  // namespace vexa::platform

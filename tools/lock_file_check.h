// Why the lock service cannot use a lock file. The service folds such a
// failure into its answers (a drawing that cannot be tested counts as in
// use); the tool says what it could not open and why.
#pragma once

#include <string>

namespace vexa::tool {

enum class Missing { Create, Skip };

// "" when the lock file at path opens as the lock service opens it (read and
// write, created if missing); otherwise "PATH: cannot open the lock file:
// REASON" with the system's text for the error (a symbolic link, a folder, a
// FIFO, no permission, a read-only file system), led by what the file is for a
// link ("it is a symbolic link, ...") or a FIFO, socket or device ("it is not
// a regular file (...)"). Missing::Skip answers "" for
// a file that is not there (a page lock file is never created by a scan).
// Leaves the store as it was: a file made for the test is removed again.
std::string LockFileProblem(const std::string& path, Missing missing);

}  // namespace vexa::tool

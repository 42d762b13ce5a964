#pragma once

namespace zp {

// The program's name and version for the platform: where its settings and
// recordings live, what the desktop shows. No display name is set: the
// platform would add it to every window and message box title, and the
// windows set their titles in full themselves.
void nameApplication();

} // namespace zp

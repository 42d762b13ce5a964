#pragma once
#include <QString>

namespace zp {

// The start-up sound in `folder`: a copy of the program's own chime is put
// there when the folder has none, so the user may swap in another. Returns
// its path, or an empty text when the folder cannot take it. The chime is
// read from `source` when it is given and readable (the copy installed with
// the program, which a packager may have replaced), else from the one
// compiled into the program.
QString installStartupSound(const QString& folder, const QString& source = QString());

} // namespace zp

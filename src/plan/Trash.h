#pragma once
#include <QString>
#include <optional>

namespace zp {

// The desktop trash (the freedesktop.org layout that file managers share),
// so that deleting a plan can be undone from the file manager.
//
// Which trash a file goes to depends on its file system: on the home's, the
// home trash $XDG_DATA_HOME/Trash; on another, $topdir/.Trash/$uid (when an
// administrator made a sticky .Trash there) or else $topdir/.Trash-$uid. A
// file system that offers neither has no trash: a file there can only be
// deleted for good.

// The trash folder for a file on the file system mounted at `topDir`, with
// the home trash folder `homeTrash` used when the file is on the home's file
// system. Empty when that file system has no trash the user can use. Looks
// at the folders but makes none.
QString trashFolderOn(const QString& topDir, bool onHomeFileSystem, const QString& homeTrash, uint userId);

class DesktopTrash {
public:
    virtual ~DesktopTrash() = default;
    // The trash folder `path` would be moved to; empty when there is none.
    virtual QString folderFor(const QString& path) const;
    // Moves `path` into its trash: nullopt when it is there, else why not.
    // A file whose trash cannot take it stays where it is.
    virtual std::optional<QString> moveToTrash(const QString& path) const;

    // The one used by the program.
    static const DesktopTrash& system();
};

} // namespace zp

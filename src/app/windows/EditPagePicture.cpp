#include "app/windows/EditPage.h"

#include "ui/Hints.h"
#include "ui/PictureFile.h"
#include "views/RecordsList.h"

#include <QLabel>
#include <QPixmap>
#include <QTabWidget>

// Pictures on the Edit page: the Image box, attaching a picture to the
// record being edited, and what the hint panel says when one is refused.

namespace zp {

AttachmentCheck EditPage::pictureLoader()
{
    return [this](const QString& path) { return showPictureInImage1(path); };
}

bool EditPage::showPictureInImage1(const QString& path, QString* problem)
{
    const std::optional<QPixmap> picture = readPictureFile(path, problem);
    if (!picture)
        return false;
    // Larger pictures are shrunk to the box, keeping their shape.
    const QSize room = image1_->contentsRect().size();
    if (room.width() > 0 && room.height() > 0 && (picture->width() > room.width() || picture->height() > room.height()))
        image1_->setPixmap(picture->scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        image1_->setPixmap(*picture);
    return true;
}

void EditPage::attachPicture(PictureEntry entry)
{
    PictureHooks hooks;
    // The picture the user chose is the first one loaded; when it cannot be
    // shown the hint panel says why (the one it had is put back silently).
    QString refused;
    bool chosen = true;
    hooks.loadAndShow = [this, &refused, &chosen](const QString& path) {
        QString why;
        const bool shown = showPictureInImage1(path, &why);
        if (!shown && chosen)
            refused = pictureProblemText(path, why);
        chosen = false;
        return shown;
    };
    if (entry == PictureEntry::ImageButton && ssTab1_->currentIndex() == kEditPage) {
        hooks.beforeQuestion = [this] { host_.peekRecordTab(kImagePage); };
        hooks.afterQuestion = [this] { host_.peekRecordTab(kEditPage); };
    }
    const EditOutcome out = editor_->attachPicture(entry, platform_.fileDialogs, hooks);
    if (out.done) {
        attachedPicture_ = state_.store.pendingImagePath;
        pictureJustAttached_ = true;
    } else {
        attachedPicture_.reset();
        pictureJustAttached_ = false;
    }
    applyEditOutcome(out);
    // Refused or unreadable on the Image page: it shows the record's own
    // picture again.
    if (!out.done && ssTab1_->currentIndex() == kImagePage)
        host_.showImagePage();
    if (!refused.isEmpty())
        host_.hints().show(refused);
}

bool EditPage::takePictureJustAttached()
{
    const bool was = pictureJustAttached_;
    pictureJustAttached_ = false;
    return was;
}

} // namespace zp

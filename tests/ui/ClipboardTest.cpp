#include "ui/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace zp {
namespace {

TEST(QtClipboard, replacesWhateverWasThereWithPlainText)
{
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>old</b>"));
    QGuiApplication::clipboard()->setMimeData(mime);

    QtClipboard clipboard;
    clipboard.setText(QStringLiteral("Planner Record No. 1\r\n"));
    EXPECT_EQ(clipboard.text(), QStringLiteral("Planner Record No. 1\r\n"));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasHtml());
}

} // namespace
} // namespace zp

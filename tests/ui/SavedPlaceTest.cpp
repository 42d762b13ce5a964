#include "ui/WindowGeometry.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace zp {
namespace {

// A tool window comes back where it was left; one whose size follows its
// contents keeps that size and takes only the position.
TEST(SavedPlace, restoresThePlaceAndTheSizeOnlyWhereTheWindowKeepsIt)
{
    const Twips twips(15, 15);
    for (const SavedPlace::Kept kept : {SavedPlace::Kept::PlaceAndSize, SavedPlace::Kept::PositionOnly}) {
        QWidget window;
        window.resize(200, 100);
        WindowPlacement slot{1500, 3000, 4500, 6000};
        const SavedPlace place(window, twips, slot, kept);
        place.restore();
        const WindowPlacement shown = placementOf(window, twips);
        EXPECT_EQ(shown.top, 1500);
        EXPECT_EQ(shown.left, 3000);
        const bool sized = kept == SavedPlace::Kept::PlaceAndSize;
        EXPECT_EQ(shown.width, sized ? 4500 : 3000);
        EXPECT_EQ(shown.height, sized ? 6000 : 1500);

        window.move(20, 40);
        place.remember();
        EXPECT_EQ(slot, placementOf(window, twips));
        EXPECT_EQ(slot.top, 600);
        EXPECT_EQ(slot.left, 300);
    }
}

} // namespace
} // namespace zp

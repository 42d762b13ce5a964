#include "app/Settings.h"

namespace zp {

std::array<WindowPlacement, 16> Settings::defaultPlacements()
{
    return {{
        {},
        {2205, 1185, 6200, 4140},  // main window
        {555, 2190, 4572, 4788},   // print
        {2880, 3765, 4845, 2730},  // about
        {1635, 3270, 3045, 1710},  // text entry
        {405, 1290, 3930, 6105},   // calculator
        {570, 1755, 5970, 7335},   // world times
        {420, 990, 6735, 5489},    // ledger
        {1755, 2070, 4860, 5489},  // phone book
        {1725, 2970, 5000, 5000},  // start-up picture
        {3285, 4635, 3120, 1740},  // keyword
        {195, 1725, 6720, 5489},   // ledger plot
        {2550, 915, 9300, 2010},   // reminders
        {1125, 2205, 5220, 5489},  // loan simulator
        {2010, 3165, 5070, 1800},  // notepad find
        {1845, 1110, 6870, 4755},  // notepad
    }};
}

} // namespace zp

// The bitmap resources of the macro list, 13 x 13 pixels, black transparent. A line's item data is
// the number of its arrow. Plain defines: the resource script reads them too.
#pragma once

#define IDB_MACRO_TICKED 155     // selected line's box
#define IDB_MACRO_UNTICKED 156   // unselected line's box
#define IDB_MACRO_ARROW_DOWN 157 // the line's key is pressed
#define IDB_MACRO_ARROW_UP 158   // the line's key is released

#include "platform/ui/Screen.h"

Screen& Screen::mainScreen() {
    static Screen screen;
    return screen;
}

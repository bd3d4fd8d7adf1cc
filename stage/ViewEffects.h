#pragma once
// Effects any view can play. The quake shakes a view about its centre: `count` steps, one every
// `interval` seconds. A step with an even count b moves the centre by a random offset in
// [-b/2, b/2) on each axis (integer halving); an odd step puts it back. The shaking shrinks as the
// count runs down, and the last step (count 1) leaves the view where it started. The steps are
// bound to the view's lifetime: none runs into a destroyed view.
#include "platform/ui/View.h"

class ViewEffects {
public:
    ViewEffects() = delete;

    static void quakeWithCount(View& view, int count, double interval);
    // One step of a quake around `center`; schedules the next one while count - 1 >= 1.
    static void shaking(View& view, double interval, int count, Point center);
};

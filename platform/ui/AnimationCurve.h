#pragma once
#include "platform/ui/View.h"

// The timing curves of view animations, as the phone defines them (cubic Bézier curves):
// easeInOut (0.42, 0, 0.58, 1), easeIn (0.42, 0, 1, 1), easeOut (0, 0, 0.58, 1), linear.
// Maps normalised time t in [0, 1] to progress in [0, 1].
double applyAnimationCurve(AnimationCurve curve, double t);

// Moving and sizing a gadget, for the kinds' Resize routines.
#pragma once

#include <cstdint>

#include "runtime/gadget/gadget_object.h"

// A coordinate or size that stays as it is.
constexpr int32_t GadgetKeep = -65535;

// MoveWindow with each GadgetKeep value replaced by the current one; a
// button is then redrawn and a text invalidated.
void GadgetResize(GadgetObject* gadget, int32_t x, int32_t y, int32_t width, int32_t height);

// What the three kind words of a GadgetObject hold, per kind. Other kinds
// leave them 0.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/gadget/gadget_object.h"

namespace EditorWord {
constexpr int emptyItemState = 0;
constexpr int backColor = 1;
constexpr int frontColor = 2;
}  // namespace EditorWord

// Text and string.
namespace BrushedWord {
constexpr int backColor = 0;
constexpr int frontColor = 1;
constexpr int backBrush = 2;
}  // namespace BrushedWord

// A 32-bit value in a pointer-sized word; -1 reads back as -1 on both
// targets.
inline int32_t KindWordGet(const GadgetObject* gadget, int word)
{
    return static_cast<int32_t>(gadget->kindWords[word]);
}

inline void KindWordSet(GadgetObject* gadget, int word, int32_t value)
{
    gadget->kindWords[word] = static_cast<uintptr_t>(static_cast<intptr_t>(value));
}

inline HBRUSH BackBrushGet(const GadgetObject* gadget)
{
    return reinterpret_cast<HBRUSH>(gadget->kindWords[BrushedWord::backBrush]);
}

inline void BackBrushSet(GadgetObject* gadget, HBRUSH brush)
{
    gadget->kindWords[BrushedWord::backBrush] = reinterpret_cast<uintptr_t>(brush);
}

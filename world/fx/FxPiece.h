#pragma once

#include <cstdint>

// What the motion effects ask of the puzzle objects they move, so that the world needs nothing of
// the puzzles: a piece or manager derives from it beside its object class, and the effects find
// it on their targets. A target without it is moved all the same, with no mark set and nothing
// exchanged.
class FxPiece {
public:
    // The mark that a move runs (the manager ignores input meanwhile): set by the effect on its
    // first step, cleared at its end. A turned tile or pipe piece carries its own; the lock
    // manager carries the one of its handles' turn.
    virtual void SetBusy(bool busy) = 0;
    // The object that carries the mark when two pieces exchange places or angles: their manager.
    // Null when there is none.
    virtual FxPiece* BusyManager() { return nullptr; }
    // The place (0 to 7) of a wheel segment on its ring; two segments exchange them.
    virtual int32_t RingIndex() const { return 0; }
    virtual void SetRingIndex(int32_t) {}
    // The value a switch tile carries in its slot; two tiles exchange them.
    virtual int32_t SlotValue() const { return 0; }
    virtual void SetSlotValue(int32_t) {}

protected:
    ~FxPiece() = default;
};

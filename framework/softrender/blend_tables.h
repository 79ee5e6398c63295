// The lookup tables that take the divisions out of the software draws.
//
// Three tables are filled once when graphics start: a product table that
// scales a channel by a factor (brightness, or the blend parameter scaling a
// source), a signed difference table that scales a difference by the blend
// parameter, and a 64-level mixing table for the 5- and 6-bit channels of
// 16-bit pixels. A fourth, the blend-graphic weight table, turns a mask byte
// into a weight and is rebuilt whenever the blend graphic's parameters change.
//
// The tables themselves stay private: every draw reaches them through the
// accessors below, which hand out a row already positioned for the way the
// draws index it. That keeps one index origin for everybody; in particular the
// difference table is always addressed at its entry for difference 0.
// The tables are static and live for the whole run.
#pragma once

#include <cstdint>

// Fills the product, difference and mixing tables. Returns 0.
int BuildBlendTables();

// Fills the weight table from the border parameter b and the border range g
// (both 0 to 255; values outside are limited to that range first).
void BuildParamTable(int borderParam, int borderRange);

// Row `factor` of the product table: entry j (0 to 255) = trunc(factor * j / 255).
const int32_t* BlendMulRow(uint8_t factor);

// Row p of the difference table, pointing at its entry for difference 0:
// index d from -255 to 255 gives d * p / 255 rounded toward zero.
const int32_t* BlendSignedMulRow(uint8_t p);

// The mixing block of blend parameter p (block p / 4, o = 0 to 63): entry
// [s * 64 + d] for channel values s (source) and d (destination) of 0 to 63 is
// trunc((o * s + (63 - o) * d) / 63).
const uint8_t* BlendMixBlock(uint8_t p);

// The 256-entry weight table: entry k is the weight (0 to 255) of mask byte k.
const uint8_t* BlendGraphicWeights();

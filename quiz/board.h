// SPDX-License-Identifier: MIT
#pragma once

#include "catalogue.h"

#include <array>

namespace kelmora {

class RandomSource;

constexpr int kSlots = 21;
constexpr qint16 kFree = 99;    // pozice: not on the board
constexpr qint16 kSought = 60;  // pozice: the sought row while the board fills
constexpr qint16 kPartner = 59; // pozice: kept off the board with the sought row

// The row that never shares the board with the given one, or 0.
int partnerOf(int row);

// One picture-choice question: the sought row, its slot and the row of every slot.
struct Question {
    int hledany = 0;
    int spravna = 0;
    std::array<int, kSlots> boardRows{};
};

// Fills every slot with a free distractor row 1..50, marking it taken in pozice.
void zapln(std::array<qint16, kTableRows> &pozice, RandomSource &random,
           std::array<int, kSlots> &boardRows);

// Draws the sought row, fills the board around it and puts it in a slot 0..19.
// pozice must hold kFree for rows 1..51. With no row to draw, hledany is 0 and
// nothing else is set.
Question drawQuestion(const Tabznaku &tabznaku, std::array<qint16, kTableRows> &pozice,
                      RandomSource &random);

} // namespace kelmora

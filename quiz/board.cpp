// SPDX-License-Identifier: MIT
#include "board.h"

#include "grading.h"
#include "random.h"

namespace kelmora {

int partnerOf(int row)
{
    switch (row) {
    case 8: return 26;
    case 26: return 8;
    case 10: return 27;
    case 27: return 10;
    case 18: return 25;
    case 25: return 18;
    case 23: return 50;
    case 50: return 23;
    default: return 0;
    }
}

void zapln(std::array<qint16, kTableRows> &pozice, RandomSource &random,
           std::array<int, kSlots> &boardRows)
{
    for (int slot = 0; slot < kSlots; ++slot) {
        int row;
        do {
            row = random.pick(kCharacterRows - 1) + 1; // row 51 is never a distractor
        } while (pozice[row] != kFree);
        pozice[row] = qint16(slot);
        boardRows[slot] = row;
    }
}

Question drawQuestion(const Tabznaku &tabznaku, std::array<qint16, kTableRows> &pozice,
                      RandomSource &random)
{
    Question question;
    question.hledany = drawRow(tabznaku, random);
    if (question.hledany == 0)
        return question;
    pozice[question.hledany] = kSought;
    if (const int partner = partnerOf(question.hledany))
        pozice[partner] = kPartner;
    zapln(pozice, random, question.boardRows);
    question.spravna = random.pick(kSlots - 1); // slot 20 never holds the right picture
    pozice[question.hledany] = qint16(question.spravna);
    question.boardRows[question.spravna] = question.hledany;
    return question;
}

} // namespace kelmora

// The fixed tables of the Data Encryption Standard. Entries are bit positions counted from 1
// at the most significant bit of the input, exactly as the standard prints them, so the tables
// can be checked against the published text line by line.
#pragma once

namespace des_tables {

extern const unsigned char kInitialPermutation[64];
extern const unsigned char kFinalPermutation[64];
extern const unsigned char kExpansion[48];
extern const unsigned char kPermutationP[32];
extern const unsigned char kPermutedChoice1[56];
extern const unsigned char kPermutedChoice2[48];
extern const unsigned char kRotations[16];
// Eight boxes of 4 rows by 16 columns; row r, column c is at index r * 16 + c.
extern const unsigned char kSBoxes[8][64];

} // namespace des_tables

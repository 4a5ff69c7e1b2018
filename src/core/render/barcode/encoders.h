#pragma once
// Shared steps of the encoders and the family entry points the symbology table dispatches to.
#include <string>
#include <string_view>

#include "render/barcode/barcode.h"

namespace tavrin::barcode {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline int digitValue(char c) { return c - '0'; }

// A non-digit becomes the digit (code mod 10); returns true when anything was replaced.
bool forceDigits(std::string& text);
// Modulo 10 with weight 3 on the rightmost digit, 1 on the next, alternating.
int mod10Weight3Right(std::string_view digits);

// Draws elements given as width digits (bar first, then alternating), each digit times `unit`.
void appendWidths(BarRow& row, std::string_view widths, int unit);
// Draws elements given as wide marks ('1' wide, '0' narrow), bar first, alternating.
void appendNarrowWide(BarRow& row, std::string_view marks, int narrow, int wide);

BarcodeResult encodeCode39(const BarcodeInput& in);
BarcodeResult encodeCode93(const BarcodeInput& in);
BarcodeResult encodeCode128Auto(const BarcodeInput& in);
BarcodeResult encodeEan128(const BarcodeInput& in);
BarcodeResult encodeSscc18(const BarcodeInput& in);
BarcodeResult encodeCodabar(const BarcodeInput& in);
BarcodeResult encodeEanUpc(const BarcodeInput& in);
BarcodeResult encodeInterleaved(const BarcodeInput& in);
BarcodeResult encodePlessey(const BarcodeInput& in);
BarcodeResult encodePostnet(const BarcodeInput& in);
BarcodeResult encodeMatrixCode(const BarcodeInput& in);

}  // namespace tavrin::barcode

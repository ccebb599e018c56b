#pragma once
// Record text: every char is one received byte (0..255). Positions and counts are
// 1-based as in the instrument rules; out-of-range arguments never fail, a copy past
// the end yields the shorter rest. Parsers use only these helpers to reach into text.
#include <string>

namespace qorva {

using RecordText = std::string;

// The byte at 1-based position pos, or 0 when pos lies outside the text.
unsigned char CharAt(const RecordText& s, int pos);
// Up to count bytes from 1-based position index; empty when out of range.
RecordText Copy(const RecordText& s, int index, int count);
// 1-based position of the first occurrence of sub in s, 0 when absent or sub is empty.
int Pos(const RecordText& sub, const RecordText& s);
// Removes up to count bytes from 1-based position index; nothing when out of range.
void Delete(RecordText& s, int index, int count);
// Inserts sub in front of 1-based position index (clamped to 1..Length+1).
void Insert(const RecordText& sub, RecordText& s, int index);
int Length(const RecordText& s);
// Trimming removes bytes 0..32 at the ends, as the runtime's Trim does.
RecordText Trim(const RecordText& s);
RecordText TrimLeft(const RecordText& s);
RecordText TrimRight(const RecordText& s);
// Upper-cases a..z only; other bytes are kept.
RecordText UpperCase(const RecordText& s);
unsigned char UpCase(unsigned char c);
bool IsDigit(unsigned char c);

} // namespace qorva

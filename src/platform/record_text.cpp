#include "platform/record_text.h"

namespace qorva {

int Length(const RecordText& s) {
    return static_cast<int>(s.size());
}

unsigned char CharAt(const RecordText& s, int pos) {
    if (pos < 1 || pos > Length(s)) return 0;
    return static_cast<unsigned char>(s[static_cast<size_t>(pos - 1)]);
}

RecordText Copy(const RecordText& s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || index > Length(s)) return {};
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

int Pos(const RecordText& sub, const RecordText& s) {
    if (sub.empty()) return 0;
    const auto at = s.find(sub);
    return at == RecordText::npos ? 0 : static_cast<int>(at) + 1;
}

void Delete(RecordText& s, int index, int count) {
    if (index < 1 || index > Length(s) || count <= 0) return;
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(const RecordText& sub, RecordText& s, int index) {
    if (index < 1) index = 1;
    if (index > Length(s) + 1) index = Length(s) + 1;
    s.insert(static_cast<size_t>(index - 1), sub);
}

static bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

RecordText TrimLeft(const RecordText& s) {
    size_t first = 0;
    while (first < s.size() && isTrimmed(s[first])) ++first;
    return s.substr(first);
}

RecordText TrimRight(const RecordText& s) {
    size_t end = s.size();
    while (end > 0 && isTrimmed(s[end - 1])) --end;
    return s.substr(0, end);
}

RecordText Trim(const RecordText& s) {
    return TrimLeft(TrimRight(s));
}

unsigned char UpCase(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

RecordText UpperCase(const RecordText& s) {
    RecordText out = s;
    for (auto& c : out) c = static_cast<char>(UpCase(static_cast<unsigned char>(c)));
    return out;
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

} // namespace qorva

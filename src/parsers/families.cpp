#include "parsers/family.h"

namespace qorva {

std::unique_ptr<InstrumentFamily> MakeColourDifferenceFamily(const ParserContext&, FieldHelpers&);
std::unique_ptr<InstrumentFamily> MakeXyzFamily(const ParserContext&, FieldHelpers&);
std::unique_ptr<InstrumentFamily> MakeSevenColourFamily(const ParserContext&, FieldHelpers&);
std::unique_ptr<InstrumentFamily> MakePfiFamily(const ParserContext&, FieldHelpers&);
std::unique_ptr<InstrumentFamily> MakeDotAreaFamily(const ParserContext&, FieldHelpers&);
std::unique_ptr<InstrumentFamily> MakeFourColourFamily(const ParserContext&, FieldHelpers&);
std::unique_ptr<InstrumentFamily> MakePlateReaderFamily(const ParserContext&, FieldHelpers&);

namespace {

constexpr FamilyRow kFamilies[] = {
    {"VARNIKPage", MakeColourDifferenceFamily},
    {"LUMAPage", MakeXyzFamily},
    {"Blatt1", MakeDotAreaFamily},
    {"Blatt2", MakeFourColourFamily},
    {"Blatt3", MakeSevenColourFamily},
    {"Blatt4", MakePlateReaderFamily},
    {"Blatt5", MakePfiFamily},
};

} // namespace

std::span<const FamilyRow> FamilyTable() {
    return kFamilies;
}

} // namespace qorva

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "AtomTable.h"
#include "NamedCases.h"
#include "PlatformError.h"

namespace {

std::string umlauts(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += "\u00e4";
    return text;
}

TEST(AtomTable, SameStringSharesOneReferenceCountedAtom) {
    AtomTable table;
    const auto atom = table.add("spielen_Pellucor_1");
    ASSERT_GE(atom, AtomTable::kFirstAtom);
    EXPECT_EQ(table.add("spielen_Pellucor_1"), atom);
    EXPECT_EQ(table.size(), 1u);

    EXPECT_TRUE(table.remove(atom));
    EXPECT_EQ(table.find("spielen_Pellucor_1"), atom) << "one reference is still held";
    EXPECT_TRUE(table.remove(atom));
    EXPECT_EQ(table.find("spielen_Pellucor_1"), 0);
    EXPECT_EQ(table.name(atom), "");
    EXPECT_FALSE(table.remove(atom));
    EXPECT_EQ(table.lastError(), code(PlatformError::UnknownAtom));
}

// Lengths count characters of the UTF-8 text, not bytes.
struct Length {
    const char* name;
    std::string text;
    PlatformError error;  // None: the string gets its atom
};

class AtomTableLength : public testing::TestWithParam<Length> {};

TEST_P(AtomTableLength, DecidesWhetherAStringGetsAnAtom) {
    AtomTable table;
    const auto atom = table.add(GetParam().text);
    if (GetParam().error == PlatformError::None) {
        EXPECT_EQ(table.name(atom), GetParam().text);
    } else {
        EXPECT_EQ(atom, 0);
        EXPECT_EQ(table.lastError(), code(GetParam().error));
        EXPECT_EQ(table.size(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Strings, AtomTableLength,
                         testing::Values(Length{"Empty", "", PlatformError::EmptyAtom},
                                         Length{"Longest", umlauts(255), PlatformError::None},
                                         Length{"TooLong", umlauts(256),
                                                PlatformError::AtomTooLong}),
                         byName);

TEST(AtomTable, FillsEveryStringAtomThenRefusesUntilOneIsDeleted) {
    AtomTable table;
    std::set<std::uint16_t> atoms;
    for (std::size_t i = 0; i < AtomTable::kCapacity; ++i) {
        const auto atom = table.add("k" + std::to_string(i));
        ASSERT_GE(atom, 0xC000) << i;
        atoms.insert(atom);
    }
    EXPECT_EQ(atoms.size(), AtomTable::kCapacity);
    EXPECT_EQ(table.add("one too many"), 0);
    EXPECT_EQ(table.lastError(), code(PlatformError::AtomTableFull));
    EXPECT_NE(table.add("k7"), 0) << "an existing string still gets its atom";

    ASSERT_TRUE(table.remove(table.find("k100")));
    EXPECT_EQ(table.add("one too many"), 0xC000 + 100);
}

}  // namespace

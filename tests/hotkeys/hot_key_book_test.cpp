#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HotKeyBook.h"
#include "NamedCases.h"

namespace {

struct BookedKey {
    HWND hwnd;
    std::int32_t id;
    std::int32_t modifiers;
    std::int32_t virtualKey;
};

// Window 7 holds F3 as id 1 and Ctrl+F2 as id 2.
const std::vector<BookedKey> kBooked{{7, 1, 0, 114}, {7, 2, 2, 113}};

struct Candidate {
    const char* name;
    BookedKey key;
    PlatformError refusal;  // None: admitted, the last error left as it was
};

class HotKeyBookAdmission : public testing::TestWithParam<Candidate> {};

TEST_P(HotKeyBookAdmission, RefusesAKeyThatClashesWithThoseRegisteredAndSaysWhy) {
    HotKeyBook book;
    book.fail(PlatformError::GrabFailed);
    const BookedKey& k = GetParam().key;
    const bool refused = GetParam().refusal != PlatformError::None;
    EXPECT_EQ(book.admits(kBooked, k.hwnd, k.id, k.modifiers, k.virtualKey), !refused);
    EXPECT_EQ(book.lastError(), code(refused ? GetParam().refusal : PlatformError::GrabFailed));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HotKeyBookAdmission,
    testing::Values(
        Candidate{"NewIdNewKey", {7, 3, 0, 115}, PlatformError::None},
        Candidate{"SameIdOtherWindow", {8, 1, 0, 115}, PlatformError::None},
        Candidate{"SameKeyOtherModifiers", {7, 3, 4, 114}, PlatformError::None},
        Candidate{"IdTakenInTheWindow", {7, 2, 0, 115}, PlatformError::IdInUse},
        Candidate{"KeyHeldByAnotherWindow", {8, 5, 2, 113}, PlatformError::KeyRegisteredHere},
        // The first booked key that clashes decides, whichever way it clashes.
        Candidate{"KeyOfTheFirstIdOfTheSecond", {7, 2, 0, 114}, PlatformError::KeyRegisteredHere}),
    byName);

TEST(HotKeyBook, KeepsTheLastRefusalUntilTheNextOne) {
    HotKeyBook book;
    EXPECT_EQ(book.addAtom(""), 0);
    EXPECT_EQ(book.lastError(), code(PlatformError::EmptyAtom));
    const std::uint16_t atom = book.addAtom("F3_Pellucor_1");
    EXPECT_EQ(book.atomName(atom), "F3_Pellucor_1");
    EXPECT_EQ(book.lastError(), code(PlatformError::EmptyAtom)) << "success leaves it";

    std::vector<BookedKey> booked = kBooked;
    EXPECT_EQ(book.find(booked, 7, 2), booked.begin() + 1);
    EXPECT_EQ(book.lastError(), code(PlatformError::EmptyAtom));
    EXPECT_EQ(book.find(booked, 8, 2), booked.end());
    EXPECT_EQ(book.lastError(), code(PlatformError::IdNotRegistered));

    book.deleteAtom(atom);
    book.deleteAtom(atom);
    EXPECT_EQ(book.lastError(), code(PlatformError::UnknownAtom));
    EXPECT_FALSE(book.fail(PlatformError::GrabFailed));
    EXPECT_EQ(book.lastError(), code(PlatformError::GrabFailed));
}

TEST(HotKeyBook, WritesAnErrorsTextCutToTheBuffer) {
    char text[16] = {};
    EXPECT_EQ(HotKeyBook::formatMessage(code(PlatformError::UnknownAtom), text, 8), 8u);
    EXPECT_EQ(std::string(text), "The atom");
    EXPECT_EQ(HotKeyBook::formatMessage(999, text, sizeof text), 0u);
}

}  // namespace

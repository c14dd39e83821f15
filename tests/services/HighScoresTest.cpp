#include "platform/com/CodePage.h"
#include "platform/com/ComRef.h"
#include "services/ServicesModule.h"
#include "services/VGHighScore.h"
#include "services/VGHighScores.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const std::vector<ScoreItem> kThree = {
    {"Ada", 98000, 1, "Lighthouse"},
    {"Boris", 6000000000, 2, "Harbour"},
    {"Chiara", -1, 3, ""},
};

// An out place as a host may hand it over: holding whatever was there before.
constexpr uintptr_t kGarbage = 0x1;

std::string NameOf(IUnknown* object) {
    ComRef<IVGHighScoreItem> item;
    EXPECT_EQ(object->QueryInterface(kIidVGHighScoreItem, item.PutVoid()), S_OK);
    BSTR name = nullptr;
    EXPECT_EQ(item->get_name(&name), S_OK);
    const std::string text = NarrowFromWide(BstrView(name));
    FreeBstr(name);
    return text;
}

class HighScoresTest : public ::testing::Test {
protected:
    void SetUp() override {
        scores = ComRef<VGHighScores>(VGHighScores::Create(kThree));
        ASSERT_TRUE(scores);
        ASSERT_EQ(scores->QueryInterface(kIidEnumVariant, enumerator.PutVoid()), S_OK);
    }

    // The names handed out by one Next call; its result and fetched count beside.
    std::vector<std::string> Next(uint32_t count, HRESULT* result, uint32_t* fetched) {
        std::vector<VARIANT> places(count + 1);
        *result = enumerator->Next(count, places.data(), fetched);
        std::vector<std::string> names;
        for (uint32_t i = 0; i < *fetched; ++i) {
            EXPECT_EQ(places[i].type, VT_DISPATCH);
            names.push_back(NameOf(places[i].dispatch));
            ClearVariant(&places[i]);
        }
        return names;
    }

    ComRef<VGHighScores> scores;
    ComRef<IEnumVARIANT> enumerator;
};

using Names = std::vector<std::string>;

TEST_F(HighScoresTest, ItemsCountFromOne) {
    const struct {
        int32_t index;
        HRESULT result;
        const char* name;
    } cases[] = {
        {1, S_OK, "Ada"},     {3, S_OK, "Chiara"},   {0, E_FAIL, nullptr},
        {4, E_FAIL, nullptr}, {-1, E_FAIL, nullptr}, {INT32_MIN, E_FAIL, nullptr},
    };
    for (const auto& c : cases) {
        IVGHighScoreItem* item = reinterpret_cast<IVGHighScoreItem*>(kGarbage);
        EXPECT_EQ(scores->get_Item(c.index, &item), c.result) << c.index;
        if (c.name == nullptr) {
            EXPECT_EQ(item, nullptr) << c.index;
        } else {
            EXPECT_EQ(NameOf(item), c.name);
            item->Release();
        }
    }
    int32_t count = 0;
    EXPECT_EQ(scores->get_count(&count), S_OK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(scores->get_count(nullptr), E_FAIL);
    EXPECT_EQ(scores->get_Item(1, nullptr), E_FAIL);
}

TEST_F(HighScoresTest, AnItemHoldsEveryFieldOfItsEntry) {
    ComRef<IVGHighScoreItem> item;
    ASSERT_EQ(scores->get_Item(2, item.Put()), S_OK);
    // The out places hold something that is not ours: it is overwritten, never freed.
    BSTR name = reinterpret_cast<BSTR>(kGarbage);
    BSTR description = reinterpret_cast<BSTR>(kGarbage);
    int64_t score = 0;
    int32_t mode = 0;
    EXPECT_EQ(item->get_name(&name), S_OK);
    EXPECT_EQ(item->get_Description(&description), S_OK);
    EXPECT_EQ(item->get_score(&score), S_OK);
    EXPECT_EQ(item->get_Mode(&mode), S_OK);
    EXPECT_EQ(NarrowFromWide(BstrView(name)), "Boris");
    EXPECT_EQ(NarrowFromWide(BstrView(description)), "Harbour");
    EXPECT_EQ(score, 6000000000) << "scores are 64-bit";
    EXPECT_EQ(mode, 2);
    FreeBstr(name);
    FreeBstr(description);

    EXPECT_EQ(item->get_name(nullptr), E_FAIL);
    EXPECT_EQ(item->get_Description(nullptr), E_FAIL);
    EXPECT_EQ(item->get_score(nullptr), E_FAIL);
    EXPECT_EQ(item->get_Mode(nullptr), E_FAIL);
}

TEST_F(HighScoresTest, NextHandsOutUpToTheNumberAsked) {
    HRESULT result = E_UNEXPECTED;
    uint32_t fetched = 99;
    EXPECT_EQ(Next(2, &result, &fetched), (Names{"Ada", "Boris"}));
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(Next(2, &result, &fetched), (Names{"Chiara"}));
    EXPECT_EQ(result, S_FALSE) << "fewer were left than asked for";
    EXPECT_EQ(Next(1, &result, &fetched), Names{});
    EXPECT_EQ(result, S_FALSE);
    EXPECT_EQ(fetched, 0u) << "the count is set even when nothing is left";

    ASSERT_EQ(enumerator->Reset(), S_OK);
    EXPECT_EQ(Next(5, &result, &fetched), (Names{"Ada", "Boris", "Chiara"}));
    EXPECT_EQ(result, S_FALSE);

    ASSERT_EQ(enumerator->Reset(), S_OK);
    VARIANT place;
    EXPECT_EQ(enumerator->Next(1, &place, nullptr), S_OK) << "the count place is optional";
    EXPECT_EQ(NameOf(place.dispatch), "Ada");
    ClearVariant(&place);
    fetched = 99;
    EXPECT_EQ(enumerator->Next(1, nullptr, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
}

TEST_F(HighScoresTest, NextWritesItsPlacesWithoutReadingThem) {
    VARIANT places[2];
    for (VARIANT& place : places) {
        place = VARIANT{};
        place.type = VT_BSTR; // and a pointer that must never be freed
        place.bstr = reinterpret_cast<BSTR>(kGarbage);
    }
    uint32_t fetched = 0;
    ASSERT_EQ(enumerator->Next(2, places, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    for (VARIANT& place : places) {
        EXPECT_EQ(place.type, VT_DISPATCH);
        ClearVariant(&place);
    }
}

TEST_F(HighScoresTest, SkipStopsAtTheLastEntry) {
    const struct {
        uint32_t skip;
        HRESULT result;
        const char* next;
    } cases[] = {
        {0, S_OK, "Ada"},
        {2, S_OK, "Chiara"},
        {3, S_FALSE, "Chiara"},
        {5, S_FALSE, "Chiara"},
        {UINT32_MAX, S_FALSE, "Chiara"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(enumerator->Reset(), S_OK);
        EXPECT_EQ(enumerator->Skip(c.skip), c.result) << c.skip;
        HRESULT result = E_UNEXPECTED;
        uint32_t fetched = 0;
        EXPECT_EQ(Next(1, &result, &fetched), Names{c.next}) << c.skip;
    }
}

TEST_F(HighScoresTest, EveryEnumeratorIsTheCollectionWithOneCursor) {
    HRESULT result = E_UNEXPECTED;
    uint32_t fetched = 0;
    Next(2, &result, &fetched);
    ComRef<IUnknown> fresh;
    ASSERT_EQ(scores->get__NewEnum(fresh.Put()), S_OK);
    EXPECT_EQ(fresh.Get(), static_cast<IUnknown*>(static_cast<IVGHighScores*>(scores.Get())));
    ComRef<IEnumVARIANT> second;
    ASSERT_EQ(fresh->QueryInterface(kIidEnumVariant, second.PutVoid()), S_OK);
    EXPECT_EQ(second.Get(), enumerator.Get());
    EXPECT_EQ(Next(1, &result, &fetched), Names{"Ada"}) << "a new enumeration starts over";
    EXPECT_EQ(scores->get__NewEnum(nullptr), E_FAIL);

    IEnumVARIANT* copy = reinterpret_cast<IEnumVARIANT*>(kGarbage);
    EXPECT_EQ(enumerator->Clone(&copy), E_NOTIMPL);
    EXPECT_EQ(copy, nullptr);
}

TEST(HighScoresEmptyTest, AnEmptyCollectionHandsOutNothing) {
    ComRef<VGHighScores> empty(VGHighScores::Create());
    int32_t count = -1;
    EXPECT_EQ(empty->get_count(&count), S_OK);
    EXPECT_EQ(count, 0);
    IVGHighScoreItem* item = nullptr;
    EXPECT_EQ(empty->get_Item(1, &item), E_FAIL);
    VARIANT place;
    uint32_t fetched = 7;
    EXPECT_EQ(empty->Next(1, &place, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(empty->Skip(0), S_FALSE);
    EXPECT_EQ(empty->Next(1, &place, &fetched), S_FALSE);
}

TEST(HighScoresDispatchTest, HostsReachTheMembersByName) {
    ComRef<VGHighScores> scores(VGHighScores::Create(kThree));
    const struct {
        const char16_t* name;
        DISPID id;
    } names[] = {{u"_NewEnum", DISPID_NEWENUM}, {u"Item", DISPID_VALUE}, {u"COUNT", 1}};
    for (const auto& n : names) {
        DISPID id = 99;
        EXPECT_EQ(scores->GetIDsOfNames(kGuidNull, &n.name, 1, 0, &id), S_OK);
        EXPECT_EQ(id, n.id);
    }

    VARIANT index;
    SetVariantInt32(&index, 3);
    DispatchParams params{&index, nullptr, 1, 0};
    VARIANT result;
    ASSERT_EQ(scores->Invoke(DISPID_VALUE, kGuidNull, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                             &params, &result, nullptr, nullptr),
              S_OK);
    ASSERT_EQ(result.type, VT_DISPATCH);
    IDispatch* item = result.dispatch;
    VARIANT score;
    ASSERT_EQ(
        item->Invoke(2, kGuidNull, 0, DISPATCH_PROPERTYGET, nullptr, &score, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(score.type, VT_I8);
    EXPECT_EQ(score.i8, -1);
    ClearVariant(&result);

    SetVariantInt32(&index, 4);
    DispatchException exception;
    EXPECT_EQ(scores->Invoke(DISPID_VALUE, kGuidNull, 0, DISPATCH_PROPERTYGET, &params, &result,
                             &exception, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.code, E_FAIL);

    ASSERT_EQ(scores->Invoke(DISPID_NEWENUM, kGuidNull, 0, DISPATCH_PROPERTYGET, nullptr, &result,
                             nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.type, VT_UNKNOWN);
    ClearVariant(&result);
}

TEST(HighScoresModuleTest, CollectionsAndItemsKeepTheModuleInUse) {
    ASSERT_FALSE(ServicesModule().InUse());
    {
        ComRef<VGHighScores> scores(VGHighScores::Create(kThree));
        ComRef<IVGHighScoreItem> item;
        ASSERT_EQ(scores->get_Item(1, item.Put()), S_OK);
        scores.Reset();
        EXPECT_TRUE(ServicesModule().InUse()) << "the item alone keeps it";
    }
    EXPECT_FALSE(ServicesModule().InUse());
}

} // namespace

// The quick reading of stored text must give exactly what the plain reading gives: the same
// value, or the same failure with the same message.
#include "core/JsonText.h"
#include "core/LedgerShard.h"
#include "core/Versioned.h"
#include "tests/core/LedgerFixtures.h"

#include <gtest/gtest.h>
#include <string>

namespace DewlightCoreTesting {
namespace {

template <class T> std::string outcome(const std::function<T()>& decodeIt) {
    try {
        return "value " + Json::serialize(Json::encode(decodeIt()));
    } catch (const DecodingError& error) {
        return "decoding error " + std::to_string(int(error.kind())) + " " + error.what();
    } catch (const DomainError& error) {
        return std::string("domain error ") + error.what();
    }
}

template <class T> void expectSameAsPlain(const std::string& text) {
    SCOPED_TRACE(text);
    const auto plain = outcome<T>([&] { return Json::decode<T>(Json::parse(text)); });
    const auto quick = outcome<T>([&] { return Json::decodeText<T>(text); });
    EXPECT_EQ(quick, plain);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(JsonText, ReadsLikeThePlainWay) {
    const HydrationLedger ledger(generation(), {Drink{.id = "d1"}.record(),
                                                Drink{.id = "d2", .group = "g2", .kind = DrinkKind::sip,
                                                      .sequence = 2}
                                                    .record()});
    const std::string text =
        Json::serialize(Json::encode(Versioned<HydrationLedger>(ledger)));
    const std::string first = R"({"id":"d1")";
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"a valid ledger", text},
        {"no drinks", replaced(text, text.substr(text.find("[{"), text.find("}]") - text.find("[{") + 2), "[]")},
        {"a key repeated in a record, the last kept",
         replaced(text, first, R"({"kind":"sip","id":"d1")")},
        {"a repeated key that breaks the record", replaced(text, first, first + R"(,"id":7)")},
        {"an unknown scalar key", replaced(text, first, first + R"(,"note":"x")")},
        {"an unknown nested key", replaced(text, first, first + R"(,"note":{"a":[1]})")},
        {"a missing key", replaced(text, R"(,"kind":"cup")", "")},
        {"a number as a string", replaced(text, R"("writerSequence":1)", R"("writerSequence":"1")")},
        {"a fraction for a counter", replaced(text, R"("writerSequence":1)", R"("writerSequence":1.5)")},
        {"a negative counter", replaced(text, R"("writerSequence":1)", R"("writerSequence":-1)")},
        {"a counter beyond 64 bits",
         replaced(text, R"("writerSequence":1)", R"("writerSequence":18446744073709551616)")},
        {"a number beyond every double", replaced(text, R"("writerSequence":1)", R"("writerSequence":1e309)")},
        {"a timestamp outside its day", replaced(text, R"("timestamp":)", R"("timestamp":1,"x":)")},
        {"an identity breaking its rule", replaced(text, R"("id":"d1")", R"("id":"")")},
        {"a conflicting identity", replaced(text, R"("id":"d2")", R"("id":"d1")")},
        {"a null in a record", replaced(text, R"("kind":"cup")", R"("kind":null)")},
        {"a drink that is no object", replaced(text, "[{", "[1,{")},
        {"a nested array of drinks", replaced(text, "[{", "[[],{")},
        {"drinks that are no array", replaced(text, text.substr(text.find("[{"), text.find("}]") - text.find("[{") + 2), "{}")},
        {"drinks twice, the last kept", replaced(text, R"("drinks":)", R"("drinks":[],"drinks":)")},
        {"trailing text", text + "x"},
        {"a NUL byte after the value", text + std::string(1, '\0') + "x"},
        {"cut short", text.substr(0, text.size() - 3)},
        {"another version", replaced(text, R"("version":1)", R"("version":2)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectSameAsPlain<Versioned<HydrationLedger>>(c.text);
    }
}

TEST(JsonText, ReadsShardsLikeThePlainWay) {
    const HydrationLedger ledger(generation(), {Drink{.id = "d1"}.record()});
    const std::string text =
        Json::serialize(Json::encode(LedgerShard(ledger, day(1), writerId("writerA"))));
    expectSameAsPlain<LedgerShard>(text);
    expectSameAsPlain<LedgerShard>(replaced(text, R"("writer":"writerA")", R"("writer":"other")"));
}

} // namespace
} // namespace DewlightCoreTesting

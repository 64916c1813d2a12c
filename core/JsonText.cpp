#include "core/JsonText.h"

#include <simdjson.h>
#include <string>

namespace DewlightCore::Json {

namespace {

thread_local StreamedDrinks* current = nullptr;

using Element = simdjson::dom::element;
using Type = simdjson::dom::element_type;

// What the tree keeps of a number: a non-negative integer as unsigned, a negative one as
// signed, anything with a fraction or an exponent as a double, as nlohmann's reader does.
JsonValue number(Element element) {
    switch (element.type()) {
    case Type::INT64: {
        const std::int64_t value = element.get_int64().value_unsafe();
        if (value >= 0)
            return JsonValue(static_cast<JsonValue::number_unsigned_t>(value));
        return JsonValue(static_cast<JsonValue::number_integer_t>(value));
    }
    case Type::UINT64:
        return JsonValue(static_cast<JsonValue::number_unsigned_t>(
            element.get_uint64().value_unsafe()));
    default:
        return JsonValue(element.get_double().value_unsafe());
    }
}

// A number as decode<double> reads it: any JSON number.
bool readDouble(Element element, double& value) {
    switch (element.type()) {
    case Type::INT64:
        value = static_cast<double>(element.get_int64().value_unsafe());
        return true;
    case Type::UINT64:
        value = static_cast<double>(element.get_uint64().value_unsafe());
        return true;
    case Type::DOUBLE:
        value = element.get_double().value_unsafe();
        return true;
    default:
        return false;
    }
}

// A counter as decode<std::uint64_t> reads it: a JSON integer, not negative.
bool readCounter(Element element, std::uint64_t& value) {
    if (element.type() == Type::UINT64) {
        value = element.get_uint64().value_unsafe();
        return true;
    }
    if (element.type() == Type::INT64 && element.get_int64().value_unsafe() >= 0) {
        value = static_cast<std::uint64_t>(element.get_int64().value_unsafe());
        return true;
    }
    return false;
}

bool readText(Element element, std::string_view& value) {
    if (element.type() != Type::STRING)
        return false;
    value = element.get_string().value_unsafe();
    return true;
}

// Builds the tree from the checked document, every array under a "drinks" key read into records
// and kept as a placeholder. False for a drink that is no well-formed record: the caller then
// goes the plain way, which says what is wrong.
class Builder {
public:
    explicit Builder(std::vector<std::vector<DrinkRecord>>& arrays) : arrays_(arrays) {}

    bool build(Element element, JsonValue& json) {
        switch (element.type()) {
        case Type::OBJECT: {
            json = JsonValue::object();
            const simdjson::dom::object object = element.get_object().value_unsafe();
            for (const auto field : object) {
                // A repeated key keeps its first place and its last value, as in nlohmann's tree.
                JsonValue& slot = json[std::string(field.key)];
                if (field.key == "drinks" && field.value.type() == Type::ARRAY) {
                    if (!drinks(field.value, slot))
                        return false;
                } else if (!build(field.value, slot)) {
                    return false;
                }
            }
            return true;
        }
        case Type::ARRAY: {
            json = JsonValue::array();
            const simdjson::dom::array array = element.get_array().value_unsafe();
            for (const auto value : array) {
                json.push_back(JsonValue());
                if (!build(value, json.back()))
                    return false;
            }
            return true;
        }
        case Type::STRING:
            json = std::string(element.get_string().value_unsafe());
            return true;
        case Type::INT64:
        case Type::UINT64:
        case Type::DOUBLE:
            json = number(element);
            return true;
        case Type::BOOL:
            json = element.get_bool().value_unsafe();
            return true;
        case Type::NULL_VALUE:
            json = nullptr;
            return true;
        }
        return false;
    }

private:
    // The placeholder is a binary value, which no JSON text holds, numbering the array.
    bool drinks(Element element, JsonValue& json) {
        const simdjson::dom::array array = element.get_array().value_unsafe();
        std::vector<DrinkRecord> records;
        records.reserve(array.size());
        for (const auto value : array)
            if (!record(value, records))
                return false;
        json = JsonValue::binary({}, arrays_.size());
        arrays_.push_back(std::move(records));
        return true;
    }

    // What JsonCodec<DrinkRecord>::decode reads, straight from the document: the seven keys
    // (the last of a repeated one), others ignored, then the record's own checks.
    static bool record(Element element, std::vector<DrinkRecord>& records) {
        if (element.type() != Type::OBJECT)
            return false;
        std::string_view id, group, writer, kind;
        double workday = 0, timestamp = 0;
        std::uint64_t sequence = 0;
        unsigned present = 0;
        const simdjson::dom::object object = element.get_object().value_unsafe();
        for (const auto field : object) {
            const std::string_view key = field.key;
            int bit = -1;
            bool read = true;
            if (key == "id")
                bit = 0, read = readText(field.value, id);
            else if (key == "group")
                bit = 1, read = readText(field.value, group);
            else if (key == "writer")
                bit = 2, read = readText(field.value, writer);
            else if (key == "workday")
                bit = 3, read = readDouble(field.value, workday);
            else if (key == "kind")
                bit = 4, read = readText(field.value, kind);
            else if (key == "timestamp")
                bit = 5, read = readDouble(field.value, timestamp);
            else if (key == "writerSequence")
                bit = 6, read = readCounter(field.value, sequence);
            if (!read)
                return false;
            if (bit >= 0)
                present |= 1u << bit;
        }
        const auto drinkKind = fromRawValue<DrinkKind>(kind);
        if (present != (1u << 7) - 1 || !drinkKind)
            return false;
        try {
            records.emplace_back(Identity<DrinkTag>(std::string(id)),
                                 Identity<ClickGroupTag>(std::string(group)),
                                 Identity<WriterTag>(std::string(writer)), WorkdayID(workday),
                                 *drinkKind, timestamp, sequence);
        } catch (...) {
            return false;
        }
        return true;
    }

    std::vector<std::vector<DrinkRecord>>& arrays_;
};

} // namespace

StreamedDrinks::StreamedDrinks() : outer_(current) {
    current = this;
}

StreamedDrinks::~StreamedDrinks() {
    current = outer_;
}

bool StreamedDrinks::parse(std::string_view text, JsonValue& json) {
    // simdjson checks the whole text (its UTF-8, escapes, numbers and structure) before any of it
    // is read, and refuses a little more than nlohmann does (a byte order mark, a nesting deeper
    // than 1024): whatever it refuses goes the plain way.
    if (text.find('\0') != std::string_view::npos)
        return false;
    simdjson::dom::parser parser;
    const auto document = parser.parse(text.data(), text.size(), true);
    if (document.error())
        return false;
    const bool built = Builder(arrays_).build(document.value_unsafe(), json);
    taken_.assign(arrays_.size(), false);
    return built;
}

std::vector<DrinkRecord>* StreamedDrinks::take(const JsonValue& placeholder) {
    const auto& binary = placeholder.get_binary();
    if (!binary.has_subtype() || binary.subtype() >= arrays_.size() || taken_[binary.subtype()])
        return nullptr;
    taken_[binary.subtype()] = true;
    return &arrays_[binary.subtype()];
}

std::vector<DrinkRecord>* takeStreamedDrinks(const JsonValue& json) {
    return current && json.is_binary() ? current->take(json) : nullptr;
}

} // namespace DewlightCore::Json

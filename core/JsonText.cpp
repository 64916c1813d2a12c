#include "core/JsonText.h"

#include <array>
#include <string>

namespace DewlightCore::Json {

namespace {

thread_local StreamedDrinks* current = nullptr;

constexpr std::array<std::string_view, 7> recordKeys = {
    "id", "group", "writer", "workday", "kind", "timestamp", "writerSequence"};
constexpr unsigned allKeys = (1u << recordKeys.size()) - 1;

// nlohmann's tree builder, except that inside an array under "drinks" each object's scalars
// go into slots and become a record at its end. Any shape a record cannot have stops the
// parse (the caller then goes the plain way).
class Reader {
public:
    using Dom = nlohmann::detail::json_sax_dom_parser<JsonValue>;
    using number_integer_t = JsonValue::number_integer_t;
    using number_unsigned_t = JsonValue::number_unsigned_t;
    using number_float_t = JsonValue::number_float_t;
    using string_t = JsonValue::string_t;
    using binary_t = JsonValue::binary_t;

    Reader(JsonValue& json, std::vector<std::vector<DrinkRecord>>& arrays)
        : dom_(json, false), arrays_(arrays) {}

    bool null() { return scalar(nullptr, [&] { return dom_.null(); }); }
    bool boolean(bool value) {
        return scalar(value, [&] { return dom_.boolean(value); });
    }
    bool number_integer(number_integer_t value) {
        return scalar(value, [&] { return dom_.number_integer(value); });
    }
    bool number_unsigned(number_unsigned_t value) {
        return scalar(value, [&] { return dom_.number_unsigned(value); });
    }
    bool number_float(number_float_t value, const string_t& text) {
        return scalar(value, [&] { return dom_.number_float(value, text); });
    }
    bool string(string_t& value) {
        if (mode_ == Mode::record) {
            if (slot_ >= 0)
                store(JsonValue(std::move(value)));
            return true;
        }
        return scalar(nullptr, [&] { return dom_.string(value); });
    }
    bool binary(binary_t&) { return false; } // JSON text has none

    bool key(string_t& name) {
        if (mode_ == Mode::record) {
            slot_ = -1;
            for (std::size_t i = 0; i < recordKeys.size(); ++i)
                if (name == recordKeys[i])
                    slot_ = static_cast<int>(i);
            return true;
        }
        afterDrinksKey_ = name == "drinks";
        return dom_.key(name);
    }

    bool start_object(std::size_t size) {
        if (mode_ == Mode::record)
            return false;
        if (mode_ == Mode::drinks) {
            mode_ = Mode::record;
            present_ = 0;
            slot_ = -1;
            return true;
        }
        afterDrinksKey_ = false;
        return dom_.start_object(size);
    }
    bool end_object() {
        if (mode_ != Mode::record)
            return dom_.end_object();
        mode_ = Mode::drinks;
        if (present_ != allKeys)
            return false;
        try {
            records_.emplace_back(
                decode<Identity<DrinkTag>>(slots_[0]), decode<Identity<ClickGroupTag>>(slots_[1]),
                decode<Identity<WriterTag>>(slots_[2]), decode<WorkdayID>(slots_[3]),
                decode<DrinkKind>(slots_[4]), decode<Date>(slots_[5]),
                decode<std::uint64_t>(slots_[6]));
        } catch (...) {
            return false;
        }
        return true;
    }
    bool start_array(std::size_t size) {
        if (mode_ != Mode::normal)
            return false;
        if (afterDrinksKey_) {
            afterDrinksKey_ = false;
            mode_ = Mode::drinks;
            records_.clear();
            return true;
        }
        return dom_.start_array(size);
    }
    bool end_array() {
        if (mode_ == Mode::normal)
            return dom_.end_array();
        // The placeholder: a binary value, which no JSON text holds, numbering the array.
        binary_t placeholder({}, arrays_.size());
        arrays_.push_back(std::move(records_));
        records_ = {};
        mode_ = Mode::normal;
        return dom_.binary(placeholder);
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
        return false;
    }

private:
    enum class Mode { normal, drinks, record };

    template <class Value, class Plain> bool scalar(Value&& value, Plain plain) {
        if (mode_ == Mode::record) {
            if (slot_ >= 0)
                store(JsonValue(std::forward<Value>(value)));
            return true;
        }
        if (mode_ == Mode::drinks)
            return false;
        afterDrinksKey_ = false;
        return plain();
    }
    // A repeated key keeps its last value, as in the tree.
    void store(JsonValue value) {
        slots_[slot_] = std::move(value);
        present_ |= 1u << slot_;
    }

    Dom dom_;
    std::vector<std::vector<DrinkRecord>>& arrays_;
    Mode mode_ = Mode::normal;
    bool afterDrinksKey_ = false;
    std::vector<DrinkRecord> records_;
    std::array<JsonValue, recordKeys.size()> slots_;
    unsigned present_ = 0;
    int slot_ = -1;
};

} // namespace

StreamedDrinks::StreamedDrinks() : outer_(current) {
    current = this;
}

StreamedDrinks::~StreamedDrinks() {
    current = outer_;
}

bool StreamedDrinks::parse(std::string_view text, JsonValue& json) {
    if (text.find('\0') != std::string_view::npos)
        return false;
    Reader reader(json, arrays_);
    const bool read = JsonValue::sax_parse(text.data(), text.data() + text.size(), &reader);
    taken_.assign(arrays_.size(), false);
    return read;
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

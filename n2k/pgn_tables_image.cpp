#include "n2k/pgn_tables_image.h"

#include <bit>
#include <cstring>
#include <type_traits>

namespace n2k {

namespace {

// "TWPGNTBL" and the layout version: raised whenever a table struct gains, loses or
// changes a member, so images of an older build are read as stale.
constexpr char kMagic[8] = {'T', 'W', 'P', 'G', 'N', 'T', 'B', 'L'};
constexpr std::uint32_t kLayoutVersion = 1;

// Every member of every table struct, in one order that writing and reading share.
template <class Io>
void members(Io& io, TextRef& r) {
    io(r.offset);
    io(r.length);
}

template <class Io>
void members(Io& io, FieldDef& f) {
    members(io, f.id);
    members(io, f.name);
    members(io, f.unit);
    members(io, f.description);
    io(f.resolution);
    io(f.offset);
    io(f.rangeMin);
    io(f.rangeMax);
    io(f.maxValidRaw);
    io(f.match);
    io(f.bitOffset);
    io(f.bitLength);
    io(f.lookup);
    io(f.order);
    io(f.bitLengthField);
    io(f.indirectFieldOrder);
    io(f.decimals);
    io(f.type);
    io(f.isSigned);
    io(f.hasMatch);
    io(f.hasRange);
    io(f.onlyWhenProprietary);
}

template <class Io>
void members(Io& io, PgnDef& p) {
    io(p.pgn);
    members(io, p.id);
    members(io, p.description);
    io(p.firstField);
    io(p.fieldCount);
    io(p.length);
    for (RepeatingSet& s : p.sets) {
        io(s.startField);
        io(s.size);
        io(s.countField);
    }
    io(p.transport);
    io(p.matchCount);
    io(p.fallback);
    io(p.complete);
}

template <class Io>
void members(Io& io, LookupValue& v) {
    io(v.key1);
    io(v.key2);
    members(io, v.name);
}

template <class Io>
void members(Io& io, LookupTable& t) {
    members(io, t.name);
    io(t.first);
    io(t.count);
    io(t.maxValue);
}

template <class Io>
void members(Io& io, FieldTypeValue& v) {
    io(v.key);
    members(io, v.name);
    members(io, v.unit);
    io(v.resolution);
    io(v.bits);
    io(v.lookup);
    io(v.type);
}

template <class Io>
void members(Io& io, FieldTypeTable& t) {
    members(io, t.name);
    io(t.first);
    io(t.count);
}

template <class Io, class Tables>
void allTables(Io& io, Tables& t) {
    io(t.text);
    io(t.version);
    io(t.pgns);
    io(t.fields);
    io(t.lookups);
    io(t.indirectLookups);
    io(t.bitLookups);
    io(t.lookupValues);
    io(t.fieldTypeLookups);
    io(t.fieldTypeValues);
}

// The unsigned integer a scalar member travels as.
template <class T>
auto asWord(T value) {
    if constexpr (std::is_same_v<T, double>) {
        return std::bit_cast<std::uint64_t>(value);
    } else if constexpr (std::is_same_v<T, bool>) {
        return static_cast<std::uint8_t>(value ? 1 : 0);
    } else if constexpr (std::is_enum_v<T>) {
        return static_cast<std::make_unsigned_t<std::underlying_type_t<T>>>(value);
    } else {
        return static_cast<std::make_unsigned_t<T>>(value);
    }
}

class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}

    template <class T>
    void operator()(const T& value) {
        if constexpr (std::is_same_v<T, std::string>) {
            (*this)(static_cast<std::uint64_t>(value.size()));
            out_ += value;
        } else if constexpr (requires { value.size(); }) {
            (*this)(static_cast<std::uint64_t>(value.size()));
            for (auto element : value) {
                members(*this, element);
            }
        } else {
            auto word = asWord(value);
            for (std::size_t i = 0; i < sizeof word; ++i) {
                out_ += static_cast<char>(static_cast<std::uint8_t>(word >> (8 * i)));
            }
        }
    }

private:
    std::string& out_;
};

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return in_.empty(); }

    template <class T>
    void operator()(T& value) {
        if constexpr (std::is_same_v<T, std::string>) {
            std::uint64_t size = 0;
            (*this)(size);
            if (!take(size)) {
                return;
            }
            value.assign(taken_);
        } else if constexpr (requires { value.size(); }) {
            std::uint64_t count = 0;
            (*this)(count);
            // Every element takes at least a byte: a count beyond what is left is a
            // damaged image, never a reason to allocate.
            if (!ok_ || count > in_.size()) {
                ok_ = false;
                return;
            }
            value.resize(static_cast<std::size_t>(count));
            for (auto& element : value) {
                members(*this, element);
                if (!ok_) {
                    return;
                }
            }
        } else {
            decltype(asWord(value)) word = 0;
            if (!take(sizeof word)) {
                return;
            }
            for (std::size_t i = 0; i < sizeof word; ++i) {
                word |= static_cast<decltype(word)>(static_cast<std::uint8_t>(taken_[i]))
                        << (8 * i);
            }
            if constexpr (std::is_same_v<T, double>) {
                value = std::bit_cast<double>(word);
            } else if constexpr (std::is_same_v<T, bool>) {
                value = word != 0;
            } else {
                value = static_cast<T>(word);
            }
        }
    }

private:
    bool take(std::uint64_t size) {
        if (!ok_ || size > in_.size()) {
            ok_ = false;
            return false;
        }
        taken_ = in_.substr(0, static_cast<std::size_t>(size));
        in_.remove_prefix(static_cast<std::size_t>(size));
        return true;
    }

    std::string_view in_;
    std::string_view taken_;
    bool ok_ = true;
};

}  // namespace

std::uint64_t databaseHash(std::string_view json) {
    // FNV-1a over eight-byte words, then the remaining bytes: fast enough to run at
    // every start-up, and any edit of the file changes it.
    constexpr std::uint64_t kPrime = 0x100000001b3ULL;
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    std::size_t i = 0;
    for (; i + 8 <= json.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, json.data() + i, sizeof word);
        hash = (hash ^ word) * kPrime;
        hash ^= hash >> 29;
    }
    for (; i < json.size(); ++i) {
        hash = (hash ^ static_cast<std::uint8_t>(json[i])) * kPrime;
    }
    return hash;
}

std::string writeTablesImage(const PgnTables& tables, std::uint64_t jsonSize,
                             std::uint64_t jsonHash) {
    std::string out(kMagic, sizeof kMagic);
    Writer writer(out);
    writer(kLayoutVersion);
    writer(jsonSize);
    writer(jsonHash);
    allTables(writer, tables);
    return out;
}

bool readTablesImage(std::string_view image, std::uint64_t jsonSize, std::uint64_t jsonHash,
                     PgnTables& out) {
    if (image.substr(0, sizeof kMagic) != std::string_view(kMagic, sizeof kMagic)) {
        return false;
    }
    Reader reader(image.substr(sizeof kMagic));
    std::uint32_t version = 0;
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    reader(version);
    reader(size);
    reader(hash);
    if (!reader.ok() || version != kLayoutVersion || size != jsonSize || hash != jsonHash) {
        return false;
    }
    allTables(reader, out);
    return reader.ok() && reader.atEnd() && checkTables(out).empty();
}

}  // namespace n2k

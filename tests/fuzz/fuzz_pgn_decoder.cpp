// The database-driven PGN decoder on any payload: the first input byte picks one of
// the sample database's PGNs (every field kind), the rest is the payload. Every value
// must lie inside the data, every text inside the data or the database.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "n2k/pgn_decoder.h"
#include "sample_database.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const n2k::PgnDatabase db = testsupport::sampleDatabase();
    static n2k::PgnDecoder decoder(db);
    static auto message = std::make_unique<n2k::Message>();
    static auto record = std::make_unique<n2k::DecodedPgn>();
    if (size == 0) {
        return 0;
    }
    message->pgn = testsupport::kSamplePgns[data[0] % std::size(testsupport::kSamplePgns)];
    message->length = static_cast<int>(size - 1 > n2k::kMaxPayload ? n2k::kMaxPayload : size - 1);
    std::memcpy(message->data, data + 1, static_cast<std::size_t>(message->length));
    decoder.decode(*message, *record);
    testsupport::checkRecord(db, *message, *record);
    return 0;
}

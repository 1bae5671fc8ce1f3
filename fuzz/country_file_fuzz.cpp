// Country files: any text is either refused with a message naming the file
// that a terminal can show, keeping nothing, or read into entities whose
// values are all in range, east-positive; callsigns then look up to one of
// them.

#include "core/callsign.h"
#include "core/country_files.h"
#include "fuzz_text.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

void checkEntity(const skybrant::CountryEntity& entity)
{
    FUZZ_CHECK(!entity.name.empty() && skybrant::fuzz::terminalSafe(entity.name));
    FUZZ_CHECK(entity.cqZone >= 1 && entity.cqZone <= 40);
    FUZZ_CHECK(entity.ituZone >= 1 && entity.ituZone <= 90);
    FUZZ_CHECK(entity.latDegrees >= -90 && entity.latDegrees <= 90);
    FUZZ_CHECK(entity.lonDegrees >= -180 && entity.lonDegrees <= 180);
    FUZZ_CHECK(entity.utcOffsetHours >= -14 && entity.utcOffsetHours <= 14);
    FUZZ_CHECK(entity.continent.size() == 2);
}

void checkLookup(const skybrant::CountryFiles& files, const char* call)
{
    using skybrant::CallsignStatus;
    const skybrant::CallsignInfo info = skybrant::lookupCallsign(files, call);
    if (info.status != CallsignStatus::Found) {
        FUZZ_CHECK(info.status == CallsignStatus::NoEntity);
        return;
    }
    const auto& entities = files.entities();
    FUZZ_CHECK(std::any_of(entities.begin(), entities.end(),
        [&](const skybrant::CountryEntity& entity) { return entity.name == info.entity; }));
    FUZZ_CHECK(info.position.lonDegrees >= -180 && info.position.lonDegrees <= 180);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace skybrant;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CountryFiles files;
    std::string error;
    if (!files.read(text, "fuzz.dat", error)) {
        FUZZ_CHECK(error.rfind("fuzz.dat:", 0) == 0);
        FUZZ_CHECK(fuzz::terminalSafe(error));
        FUZZ_CHECK(files.empty());
        return 0;
    }
    FUZZ_CHECK(error.empty());
    FUZZ_CHECK(!files.empty());
    for (const CountryEntity& entity : files.entities()) {
        checkEntity(entity);
    }
    for (const char* call : {"G4ABC", "DL/G4ABC", "G4ABC/P", "K1ABC/6", "VER20240101"}) {
        checkLookup(files, call);
    }
    return 0;
}

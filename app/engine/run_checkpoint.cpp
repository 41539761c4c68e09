#include "app/engine/run_checkpoint.h"

#include <algorithm>

#include "app/engine/journal_record.h"

namespace velmora {
namespace {

using journal::ByteReader;
using journal::ByteWriter;

// Work tables grow only as far as a parser writes rows; a damaged checkpoint
// must not make one allocate without bound.
constexpr std::uint64_t kMaxTableRows = 1u << 16;

void writeRow(ByteWriter& w, const WorkRow& row) {
    w.text(row.mark);
    w.text(row.url);
    w.text(row.key);
}

WorkRow readRow(ByteReader& r) {
    WorkRow row;
    row.mark = r.text();
    row.url = r.text();
    row.key = r.text();
    return row;
}

void writeTable(ByteWriter& w, const WorkTable& table, WorkTable& base) {
    w.number(static_cast<std::uint64_t>(table.size()) + 1);
    std::vector<int> changed;
    for (int r = 1; r <= table.size(); ++r)
        if (!(table.row(r) == base.row(r))) changed.push_back(r);
    w.number(changed.size());
    for (int r : changed) {
        w.number(static_cast<std::uint64_t>(r));
        writeRow(w, table.row(r));
    }
    // The base follows as the reader's table does: rows beyond the new size
    // are gone, changed rows take their new text.
    if (base.size() != table.size()) {
        base = table;
        return;
    }
    for (int r : changed) base.at(r) = table.row(r);
}

bool readTable(ByteReader& r, WorkTable& table) {
    std::uint64_t rows = r.number();
    if (r.failed() || rows < 1 || rows > kMaxTableRows) return false;
    int size = static_cast<int>(rows) - 1;
    if (size != table.size()) {
        WorkTable resized(static_cast<int>(rows));
        for (int i = 1; i <= std::min(size, table.size()); ++i) resized.at(i) = table.row(i);
        table = std::move(resized);
    }
    std::uint64_t changed = r.number();
    for (std::uint64_t i = 0; i < changed && !r.failed(); ++i) {
        std::uint64_t at = r.number();
        if (at < 1 || at > static_cast<std::uint64_t>(size)) return false;
        table.at(static_cast<int>(at)) = readRow(r);
    }
    return !r.failed();
}

}  // namespace

void encodeCheckpoint(std::string& out, const SourceCheckpoint& c, CheckpointBase& base) {
    encodeCheckpoint(out,
                     CheckpointView{c.source, c.state, c.inFlight, c.inFlightDetailRow, c.form,
                                    c.lastListingUrls, c.progress},
                     base);
}

void encodeCheckpoint(std::string& out, const CheckpointView& c, CheckpointBase& base) {
    ByteWriter w(out);
    w.number(static_cast<std::uint64_t>(c.source));
    w.number(static_cast<std::uint64_t>(c.state));
    writeRow(w, c.inFlight);
    w.int32(c.inFlightDetailRow);
    w.flag(c.progress.started);
    for (int v : {c.progress.resultPages, c.progress.detailPages, c.progress.failed,
                  c.progress.unfetched, c.progress.page})
        w.int32(v);
    // The urls change once per listing page: most checkpoints say "as before".
    bool urlsAsBefore = base.written && base.lastListingUrls == c.lastListingUrls;
    w.flag(urlsAsBefore);
    if (!urlsAsBefore) {
        w.number(c.lastListingUrls.size());
        for (const auto& url : c.lastListingUrls) w.text(url);
        base.lastListingUrls = c.lastListingUrls;
    }
    base.written = true;

    const WorkForm& f = c.form;
    writeTable(w, f.listing, base.listing);
    writeTable(w, f.detail, base.detail);
    writeTable(w, f.mailHits, base.mailHits);
    for (std::int32_t v : {f.knownPages, f.nextPage, f.detailCount, f.nextDetailRow, f.resultPage,
                           f.listingFailures})
        w.int32(v);
    for (const auto& field : f.slot.fields) w.text(field);
    w.text(f.keyword);
    w.text(f.province);
    w.flag(f.startTaken);
    w.flag(f.lastPageSpent);
    w.number(f.lastPageNames.size());
    for (const auto& name : f.lastPageNames) w.text(name);
}

bool decodeCheckpoint(std::string_view payload, SourceCheckpoint& c) {
    ByteReader r(payload);
    c.source = static_cast<int>(r.number());
    std::uint64_t state = r.number();
    if (state > 2) return false;
    c.state = static_cast<SourceCheckpoint::State>(state);
    c.inFlight = readRow(r);
    c.inFlightDetailRow = r.int32();
    c.progress.started = r.flag();
    c.progress.resultPages = r.int32();
    c.progress.detailPages = r.int32();
    c.progress.failed = r.int32();
    c.progress.unfetched = r.int32();
    c.progress.page = r.int32();
    if (!r.flag()) {
        std::uint64_t urls = r.number();
        c.lastListingUrls.clear();
        for (std::uint64_t i = 0; i < urls && !r.failed(); ++i)
            c.lastListingUrls.emplace_back(r.text());
    }

    WorkForm& f = c.form;
    if (!readTable(r, f.listing) || !readTable(r, f.detail) || !readTable(r, f.mailHits))
        return false;
    f.knownPages = r.int32();
    f.nextPage = r.int32();
    f.detailCount = r.int32();
    f.nextDetailRow = r.int32();
    f.resultPage = r.int32();
    f.listingFailures = r.int32();
    for (auto& field : f.slot.fields) field = r.text();
    f.keyword = r.text();
    f.province = r.text();
    f.startTaken = r.flag();
    f.lastPageSpent = r.flag();
    std::uint64_t names = r.number();
    f.lastPageNames.clear();
    for (std::uint64_t i = 0; i < names && !r.failed(); ++i) f.lastPageNames.emplace_back(r.text());
    return !r.failed() && r.atEnd() && c.source >= 1 && c.source <= kSourceCount;
}

}  // namespace velmora

#pragma once
// What a source needs to continue a run where it stood: its work form, the
// row in flight, the detail urls of its last listing page and its figures.
// Written to the journal after every dispatch; the tables go as the rows that
// changed since the source's previous checkpoint, which keeps a journal of a
// long harvest near the size of its entries.
#include <string>
#include <string_view>
#include <vector>

#include "app/engine/run_control.h"
#include "sources/framework/work_form.h"

namespace velmora {

struct SourceCheckpoint {
    enum class State : int {
        InFlight = 0,  // `inFlight` was handed to a worker and is not taken in yet
        Stopped = 1,   // the stop command ended the source; its last step is not taken in
        Finished = 2,  // the source has run to its end
    };
    int source = 0;
    State state = State::InFlight;
    WorkRow inFlight;
    int inFlightDetailRow = 0;  // its detail row, 0 for a listing row
    WorkForm form;
    std::vector<std::string> lastListingUrls;
    SourceProgress progress;
};

// A checkpoint made of the run control's own state, without copying it.
struct CheckpointView {
    int source;
    SourceCheckpoint::State state;
    const WorkRow& inFlight;
    int inFlightDetailRow;
    const WorkForm& form;
    const std::vector<std::string>& lastListingUrls;
    const SourceProgress& progress;
};

// What a source's previous checkpoint in the same file was written with: its
// tables and last listing urls. A fresh one stands for no previous checkpoint.
struct CheckpointBase {
    bool written = false;
    WorkTable listing, detail, mailHits;
    std::vector<std::string> lastListingUrls;
};

// Appends the checkpoint's payload; the tables are written as the rows that
// differ from `base`, the last listing urls only when they changed (all
// non-empty rows and the urls for a fresh `base`). `base` is brought up to
// the checkpoint's state, row by changed row, for the next one.
void encodeCheckpoint(std::string& out, const CheckpointView& checkpoint, CheckpointBase& base);
void encodeCheckpoint(std::string& out, const SourceCheckpoint& checkpoint, CheckpointBase& base);

// Reads a payload over `checkpoint`, whose form must hold the state the
// payload was written against (the source's previous checkpoint in the same
// file, or a default form). False on a malformed payload.
bool decodeCheckpoint(std::string_view payload, SourceCheckpoint& checkpoint);

}  // namespace velmora

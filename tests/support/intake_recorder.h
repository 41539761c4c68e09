#pragma once
// An IntakeContext that records what a listing step of sources 5 and 6 asks
// for: every filter question, lookup and intake, in order.
#include <set>
#include <string>
#include <vector>

#include "sources/framework/source.h"

namespace velmora::testing {

class IntakeRecorder : public IntakeContext {
  public:
    // The filter refuses this name.
    void refuse(const std::string& name) { refused_.insert(name); }

    bool acceptName(const std::string& name) override {
        calls_.push_back("accept " + name);
        return refused_.count(name) == 0;
    }
    // Finds "info@" + the name.
    void lookupEmailIfWanted(RecordSlot& record) override {
        calls_.push_back("lookup " + record[Field::Name]);
        record[Field::Email] = "info@" + record[Field::Name];
    }
    void takeIn(const RecordSlot& record) override {
        calls_.push_back("take " + record[Field::Name]);
        taken_.push_back(record);
    }

    const std::vector<std::string>& calls() const { return calls_; }
    const std::vector<RecordSlot>& taken() const { return taken_; }

  private:
    std::set<std::string> refused_;
    std::vector<std::string> calls_;
    std::vector<RecordSlot> taken_;
};

}  // namespace velmora::testing

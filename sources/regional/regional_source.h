#pragma once
// Source 7: the regional company directory, searched by area code. Listing
// pages link companies as "detail.asp?corpid=..."; detail pages hold the data
// in table rows that begin with a ten-byte label such as "单位名称：".
#include <string>

#include "sources/framework/source.h"

namespace velmora {

class RegionalSource : public Source {
  public:
    // `address`: scheme and host in front of "/main/corp/".
    explicit RegionalSource(std::string address) : address_(std::move(address)) {}

    int number() const override { return 7; }
    bool hasEmailLookup() const override { return true; }

    // GET of url + "?&area1=C&area2=C" (or "?&area2=000000") + "&corpname=K" +
    // "&page=N", values inserted byte for byte; raises next page.
    ListingRequest listingRequest(const std::string& url, const WorkKey& key,
                                  WorkForm& form) const override;
    void parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                      IntakeContext& intake) const override;
    void parseDetail(std::string_view page, WorkForm& form) const override;

  private:
    std::string address_;
};

}  // namespace velmora

#pragma once
// Phone and fax of a homepage: the number behind the first phone label of a
// working text, label after label until one gives a number; the fax is looked
// for only in what the phone search left of the working text.
#include <string_view>

#include "sources/framework/record_slot.h"

namespace velmora::homepage {

// Fills the phone and then the fax of `slot`, each only while it is empty.
// `page` is the cleaned page.
void findPhoneAndFax(std::string_view page, RecordSlot& slot);

}  // namespace velmora::homepage

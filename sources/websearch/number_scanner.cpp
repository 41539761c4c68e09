#include "sources/websearch/number_scanner.h"

#include "sources/websearch/number_tables.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace velmora {

using text::Pos;
using namespace number_text;

namespace {

constexpr size_t npos = std::numeric_limits<size_t>::max();
// Long runs of number characters are judged from the tables beyond this.
constexpr size_t kLongRun = 4096;
// Each normalisation step reads at most three bytes of the text (a line
// break pair and the byte it leaves), so the window of 301 positions never
// reaches further than this behind its start.
constexpr Pos kWindowReach = 3 * 301;

struct PairRow {
    unsigned char lead, trail;
    char single;
};
constexpr PairRow kPairRows[5] = {
    {0xA3, 0xA8, '('}, {0xA3, 0xA9, ')'}, {0xA1, 0xAA, '-'}, {0xA1, 0xA4, '.'}, {0xA1, 0xA1, ' '},
};

}  // namespace

NumberScanner::NumberScanner(std::string_view page)
    : NumberScanner(page, 2 * page.size() + 65536) {}
NumberScanner::NumberScanner(std::string_view page, size_t searchBudget)
    : page_(page), budget_(searchBudget) {
    if (searchBudget == 0) tables();
}
NumberScanner::~NumberScanner() = default;

const NumberScanner::Tables& NumberScanner::tables() {
    if (!tables_) tables_ = std::make_unique<Tables>(page_);
    return *tables_;
}

size_t NumberScanner::nextDigit(size_t from) {
    if (from >= page_.size()) return npos;
    if (tables_) {
        uint32_t d = tables_->nextDigit[from];
        return d == tables_->none ? npos : d;
    }
    for (const DigitCache& c : digitCache_)
        if (c.from <= from && from <= c.found) return c.found;
    size_t k = from;
    while (k < page_.size() && !isDigit(static_cast<unsigned char>(page_[k]))) ++k;
    work_ += k - from;
    size_t found = k < page_.size() ? k : npos;
    digitCache_[nextCacheSlot_++ % 8] = {from, found};
    return found;
}

// One call of the cleaner. The text t is the page's positions first .. last;
// the cleaner's copy s is t with the window from position p normalised:
//   s = t[1 .. P-1] + out + t[r .. n],
// where `out` holds the positions the normalisation has finished and r is
// the first byte of t it has not read yet. The normalisation runs only as far
// as the positions asked for. Digits, "<" and ">" are never made, deleted or
// merged by it, so the markup skip can search t instead of s.
class CleanerRun {
  public:
    CleanerRun(NumberScanner& scanner, std::string_view page, Pos first, Pos last, Pos p)
        : scanner_(scanner),
          page_(page),
          base_(static_cast<size_t>(first - 1)),
          n_(last - first + 1),
          p_(p < 0 ? 0 : p),
          P_(std::max<Pos>(p_, 1)),
          r_(P_),
          step_(p_) {}

    std::string run() {
        Pos b = firstDigit();
        if (byteAt(b - 1) == '(' && b >= 2) --b;
        b = skipMarkup(b);
        if (farT_ != 0) {
            // Far behind the window s is t itself: no need to finish the
            // normalisation to know where b stands in s.
            Pos x = farT_;
            if (tByte(x - 1) == '(') --x;
            return judge("", x, runEnd(x, true));
        }
        if (b >= 2 && byteAt(b - 1) == '(') --b;
        if (b < 1) b = 1;
        return takeRun(b);
    }

  private:
    // --- the text t and the copy s ---------------------------------------
    unsigned char tByte(Pos k) const { return static_cast<unsigned char>(page_[off(k)]); }
    size_t off(Pos k) const { return base_ + static_cast<size_t>(k - 1); }
    Pos tPos(size_t offset) const { return static_cast<Pos>(offset - base_) + 1; }
    Pos outEnd() const {
        return P_ + static_cast<Pos>(out_.size());
    }  // first s position behind out

    // One normalisation step at position max(i, 1).
    void step() {
        Pos q = std::max<Pos>(step_, 1);
        if (!headPending_ && r_ <= n_) {
            unsigned char c0 = tByte(r_);
            bool replaced = false;
            if (r_ + 1 <= n_) {
                unsigned char c1 = tByte(r_ + 1);
                for (const PairRow& row : kPairRows) {
                    if (c0 == row.lead && c1 == row.trail) {
                        head_ = row.single;
                        headOrigin_ = r_;
                        headPending_ = true;
                        r_ += 2;
                        replaced = true;
                        break;
                    }
                }
            }
            // A replaced byte is ASCII and matches no further row.
            if (!replaced) {
                if (tByte(r_) == '\r') ++r_;
                if (r_ <= n_ && tByte(r_) == '\n') ++r_;
            }
        }
        ++step_;
        if (step_ > p_ + 300 || std::max<Pos>(step_, 1) != q) {
            // Position q is final: the byte standing there joins `out`.
            if (headPending_) {
                out_.push_back(head_);
                origin_.push_back(headOrigin_);
                headPending_ = false;
            } else if (r_ <= n_) {
                out_.push_back(static_cast<char>(tByte(r_)));
                origin_.push_back(r_);
                ++r_;
            }
        }
    }
    bool stepsDone() const { return step_ > p_ + 300; }
    void finishSteps() {
        while (!stepsDone()) step();
    }
    // Byte at position k of s, or -1 when s has none there.
    int byteAt(Pos k) {
        if (k < 1) return -1;
        if (k < P_) return k <= n_ ? tByte(k) : -1;
        while (k >= outEnd() && !stepsDone()) step();
        if (k < outEnd()) return static_cast<unsigned char>(out_[static_cast<size_t>(k - P_)]);
        Pos t = r_ + (k - outEnd());
        return t <= n_ ? tByte(t) : -1;
    }
    // t position of the byte at s position k (k within s).
    Pos tOf(Pos k) {
        if (k < P_) return k;
        byteAt(k);
        if (k < outEnd()) return origin_[static_cast<size_t>(k - P_)];
        return r_ + (k - outEnd());
    }
    // s position of the byte at t position x (a byte the normalisation keeps).
    Pos sOf(Pos x) {
        if (x < P_) return x;
        if (x >= r_) finishSteps();
        if (x < r_) {
            auto it = std::lower_bound(origin_.begin(), origin_.end(), x);
            return P_ + static_cast<Pos>(it - origin_.begin());
        }
        return outEnd() + (x - r_);
    }

    // --- searches on t, bounded by the end of t ----------------------------
    bool overBudget() const { return scanner_.useTables(); }
    const NumberScanner::Tables& tables() { return scanner_.tables(); }
    Pos fromTable(uint32_t offset) const {
        // An offset beyond t (or the table's "none") reads as none.
        return offset >= base_ + static_cast<size_t>(n_) || offset < base_ ? 0 : tPos(offset);
    }
    // First position > x of t holding `want` (a byte, or any digit when 0).
    Pos firstAfter(Pos x, char want) {
        Pos from = std::max<Pos>(x + 1, 1);
        if (from > n_) return 0;
        if (overBudget()) {
            const auto& t = tables();
            return fromTable(want == 0 ? t.nextDigit[off(from)] : t.nextGt[off(from)]);
        }
        if (want == 0) {
            size_t d = scanner_.nextDigit(off(from));
            return d == npos || d > off(n_) ? 0 : tPos(d);
        }
        size_t length = static_cast<size_t>(n_ - from + 1);
        const void* at = memchr(page_.data() + off(from), want, length);
        if (at == nullptr) {
            scanner_.work_ += length;
            return 0;
        }
        size_t found = static_cast<size_t>(static_cast<const char*>(at) - page_.data());
        scanner_.work_ += found - off(from) + 1;
        return tPos(found);
    }
    // A "<" at one of the t positions from .. to - 1 (from below 1 reads as 1).
    bool ltBetween(Pos from, Pos to) {
        from = std::max<Pos>(from, 1);
        to = std::min<Pos>(to, n_ + 1);
        if (from >= to) return false;
        if (overBudget()) return tables().nextLt[off(from)] < off(to);
        size_t length = static_cast<size_t>(to - from);
        const void* at = memchr(page_.data() + off(from), '<', length);
        scanner_.work_ +=
            at == nullptr
                ? length
                : static_cast<size_t>(static_cast<const char*>(at) - (page_.data() + off(from))) +
                      1;
        return at != nullptr;
    }

    // --- the cleaner's steps ---------------------------------------------
    // Step 3: the first digit at positions p + 1 .. p + 300 of s, else p.
    Pos firstDigit() {
        size_t d = P_ <= n_ ? scanner_.nextDigit(off(P_)) : npos;
        if (d == npos || d > off(std::min<Pos>(n_, P_ + kWindowReach))) return p_;
        for (Pos k = p_ + 1; k <= p_ + 300; ++k) {
            int c = byteAt(k);
            if (c < 0) break;
            if (isDigit(static_cast<unsigned char>(c))) return k;
        }
        return p_;
    }

    // Step 5: while markup stands between a and b, a moves to the next ">"
    // (to b when there is none) and b to the next digit behind a (to a when
    // there is none). Worked on t positions; returns b as a position of s.
    Pos skipMarkup(Pos b) {
        if (b <= p_) return b;  // nothing between a and b
        Pos ta = p_ == 0 ? 0 : tOf(p_);
        Pos tb = tOf(b);
        if (!ltBetween(ta, tb)) return b;
        while (!overBudget()) {
            Pos g = firstAfter(ta, '>');
            ta = g != 0 ? g : tb;
            Pos d = firstAfter(ta, 0);
            tb = d != 0 ? d : ta;
            if (!ltBetween(ta, tb)) return found(tb);
        }
        return found(skipWithTables(ta, tb));
    }

    // The s position of the markup skip's end, or, when it lies so far
    // behind the window that s and t agree there and on the byte before,
    // 0 with the t position kept in farT_.
    Pos found(Pos tb) {
        if (tb - 2 >= P_ + kWindowReach) {
            farT_ = tb;
            return 0;
        }
        return sOf(tb);
    }

    // The rest of the markup skip from a state whose check still finds "<".
    Pos skipWithTables(Pos ta, Pos tb) {
        const auto& t = tables();
        Pos lastDigit = fromTable(t.lastDigit[off(n_)]);
        Pos g = firstAfter(ta, '>');
        if (g != 0) {
            // Walks through the ">" from g on to the first whose check passes;
            // behind the last digit of t every check passes (no digit, empty range).
            Pos good = fromTable(t.jump[off(g)]);
            Pos behindDigits = lastDigit >= g ? firstAfter(lastDigit, '>') : g;
            if (good == 0 || (behindDigits != 0 && behindDigits < good)) good = behindDigits;
            if (good != 0) {
                Pos d = firstAfter(good, 0);
                return d != 0 ? d : good;
            }
            // Every check failed: the walk goes on from the digit behind the last ">".
            Pos lastGt = fromTable(t.lastGt[off(n_)]);
            return digitWalk(firstAfter(lastGt, 0), lastDigit);
        }
        // No ">" left: a takes b's place; from there digit to digit.
        Pos d = firstAfter(tb, 0);
        if (d == 0) return tb;
        return ltBetween(tb, d) ? digitWalk(d, lastDigit) : d;
    }

    // Where the digit-to-digit walk from the digit x ends within t.
    Pos digitWalk(Pos x, Pos lastDigit) {
        Pos end = fromTable(tables().jump[off(x)]);
        return end != 0 ? end : lastDigit;
    }

    // Steps 6 to 8: the run of number characters from b and its tests.
    std::string takeRun(Pos b) {
        std::string head;
        Pos e = b;
        for (;;) {
            int c = byteAt(e);
            if (c < 0 || (e > b && !isNumberChar(static_cast<unsigned char>(c)))) break;
            if (e >= outEnd() && stepsDone()) break;  // the rest of s is t unchanged
            head.push_back(static_cast<char>(c));
            ++e;
        }
        Pos tailFrom = 0, tailTo = 0;  // t positions tailFrom .. tailTo - 1
        if (e >= outEnd() && stepsDone() && byteAt(e) >= 0) {
            tailFrom = r_ + (e - outEnd());
            tailTo = runEnd(tailFrom, head.empty());
        }
        return judge(head, tailFrom, tailTo);
    }

    // First t position >= x that ends the run (the byte at x itself is taken
    // without a test when it starts the run).
    Pos runEnd(Pos x, bool startsRun) {
        Pos k = startsRun ? x + 1 : x;
        if (!overBudget()) {
            for (; k <= n_ && !overBudget(); ++k, ++scanner_.work_)
                if (!isNumberChar(tByte(k))) return k;
            if (k > n_) return n_ + 1;
        }
        uint32_t end = tables().runEnd[off(k)];
        return std::min<Pos>(n_ + 1, end >= tables().none ? n_ + 1 : tPos(end));
    }

    std::string judge(const std::string& head, Pos tailFrom, Pos tailTo) {
        size_t tailLength = tailTo > tailFrom ? static_cast<size_t>(tailTo - tailFrom) : 0;
        std::string_view tail = tailLength ? page_.substr(off(tailFrom), tailLength) : "";
        if (tailLength == 0 || (!scanner_.useTables() && tailLength <= kLongRun)) {
            scanner_.work_ += tailLength;
            std::string num = head + std::string(tail);
            return acceptable(num) ? num : std::string();
        }
        // A long run: the year marks and digits of its tail from the tables.
        const auto& t = tables();
        std::string joint = head + std::string(tail.substr(0, 4));
        size_t from = off(tailFrom), to = off(tailTo);
        bool year = t.nextYear[from] + 5 <= to;
        int digits = static_cast<int>(t.digitsBefore[to] - t.digitsBefore[from]);
        for (char c : head) digits += isDigit(static_cast<unsigned char>(c)) ? 1 : 0;
        if (year || hasYearMark(joint) || earlyFullStop(joint) || digits < 5) return {};
        return head + std::string(tail);
    }

    static bool hasYearMark(std::string_view s) {
        for (size_t i = 0; i + 5 <= s.size(); ++i)
            if (yearMarkAt(s, i)) return true;
        return false;
    }
    // The first full stop at position 1, 2 or 3.
    static bool earlyFullStop(std::string_view s) {
        size_t dot = s.find('.');
        return dot != npos && dot < 3;
    }
    static bool acceptable(std::string_view num) {
        if (hasYearMark(num) || earlyFullStop(num)) return false;
        int digits = 0;
        for (char c : num) digits += isDigit(static_cast<unsigned char>(c)) ? 1 : 0;
        return digits >= 5;
    }

    NumberScanner& scanner_;
    std::string_view page_;
    size_t base_;
    Pos n_;
    Pos p_, P_;
    Pos r_;
    Pos step_;
    std::string out_;
    std::vector<Pos> origin_;
    bool headPending_ = false;
    char head_ = 0;
    Pos headOrigin_ = 0;
    Pos farT_ = 0;
};

std::string NumberScanner::clean(Pos first, Pos last, Pos position) {
    if (first < 1) first = 1;
    if (last > text::length(page_)) last = text::length(page_);
    if (last < first) last = first - 1;
    return CleanerRun(*this, page_, first, last, position).run();
}

}  // namespace velmora

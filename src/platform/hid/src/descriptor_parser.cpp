// Report descriptor parser with the Windows HID parser's rules.
//
// Items are walked once.  Global items form a state that Push/Pop save and
// restore, local items (usages) collect until the next main item consumes
// them.  Every Input, Output or Feature item adds its bits to the report of
// its report id and, unless it is constant padding, capabilities to the
// enclosing top-level collection.  Limits on nesting, report length and
// capability counts keep memory bounded for any input.

#include "quellix/hid/descriptor.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace quellix::hid {

namespace {

constexpr std::size_t kMaxCollectionDepth = 32;
constexpr std::size_t kMaxPushDepth = 32;
constexpr std::uint32_t kMaxReportBytes = 0xFFFF; // report id byte included
constexpr std::uint32_t kMaxCount16 = 0xFFFF;     // caps, data indices, link nodes
constexpr std::size_t kMaxLocalUsages = 0xFFFF;

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

enum MainTag : std::uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC
};

enum GlobalTag : std::uint8_t {
    kUsagePage = 0,
    kLogicalMin = 1,
    kLogicalMax = 2,
    kPhysicalMin = 3,
    kPhysicalMax = 4,
    kUnitExponent = 5,
    kUnit = 6,
    kReportSize = 7,
    kReportId = 8,
    kReportCount = 9,
    kPush = 10,
    kPop = 11
};

enum LocalTag : std::uint8_t {
    kUsage = 0,
    kUsageMin = 1,
    kUsageMax = 2,
    kDelimiter = 10,
};

constexpr std::uint32_t kMainConstant = 0x01;
constexpr std::uint32_t kMainVariable = 0x02;
constexpr std::uint32_t kMainRelative = 0x04;
constexpr std::uint32_t kMainNullState = 0x40;

// A raw item value with its size, so that signedness can be decided later.
struct RawValue {
    std::uint32_t bits = 0;
    std::uint8_t size = 0;

    std::int32_t asSigned() const {
        switch (size) {
        case 1:
            return static_cast<std::int8_t>(bits);
        case 2:
            return static_cast<std::int16_t>(bits);
        default:
            return static_cast<std::int32_t>(bits);
        }
    }
};

struct Globals {
    std::uint16_t usagePage = 0;
    RawValue logicalMin, logicalMax, physicalMin, physicalMax;
    std::uint32_t unitExponent = 0;
    std::uint32_t unit = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

// Usages are kept extended: usage page in the high 16 bits.
struct UsageEntry {
    std::uint32_t min = 0;
    std::uint32_t max = 0;
    bool isRange = false;
    std::uint32_t size() const { return (max & 0xFFFF) - (min & 0xFFFF) + 1; }
};

struct Locals {
    std::vector<UsageEntry> usages;
    bool haveMin = false;
    std::uint32_t pendingMin = 0;
    int delimiterDepth = 0;
    bool delimiterTaken = false; // first usage of the open delimiter set kept

    void clear() {
        usages.clear();
        haveMin = false;
        delimiterDepth = 0;
        delimiterTaken = false;
    }
};

struct OpenCollection {
    std::uint16_t linkIndex = 0;
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;
};

// Linear (signed when the minimum is negative) reading of a maximum, the way
// devices that write 0xFF for 255 mean it.
std::int32_t rangeMax(const RawValue& min, const RawValue& max) {
    if (min.asSigned() < 0 || max.size == 4)
        return max.asSigned();
    return static_cast<std::int32_t>(max.bits);
}

class Parser {
public:
    explicit Parser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    ParseResult run(ParsedDescriptor& out) {
        while (pos_ < bytes_.size()) {
            if (!step())
                return fail();
        }
        if (!stack_.empty())
            return fail(std::to_string(stack_.size()) + " collection(s) not closed at the end");
        if (collections_.empty())
            return fail("no top-level collection");
        finish();
        out.collections = std::move(collections_);
        return {true, {}};
    }

private:
    ParseResult fail(std::string message = {}) {
        if (!message.empty())
            error_ = std::move(message);
        return {false, "report descriptor byte " + std::to_string(itemStart_) + ": " + error_};
    }

    bool error(std::string message) {
        error_ = std::move(message);
        return false;
    }

    bool step() {
        itemStart_ = pos_;
        const std::uint8_t prefix = bytes_[pos_++];
        if (prefix == 0xFE) { // long item: size byte, tag byte, data
            if (bytes_.size() - pos_ < 2)
                return error("long item truncated");
            const std::size_t size = bytes_[pos_];
            pos_ += 2;
            if (bytes_.size() - pos_ < size)
                return error("long item data truncated");
            pos_ += size;
            return true;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (bytes_.size() - pos_ < size)
            return error("item data truncated");
        RawValue value;
        value.size = static_cast<std::uint8_t>(size);
        for (std::size_t i = 0; i < size; ++i)
            value.bits |= std::uint32_t(bytes_[pos_ + i]) << (8 * i);
        pos_ += size;
        const auto tag = static_cast<std::uint8_t>(prefix >> 4);
        switch ((prefix >> 2) & 3) {
        case kMain:
            return mainItem(tag, value.bits);
        case kGlobal:
            return globalItem(tag, value);
        case kLocal:
            return localItem(tag, value);
        default:
            return error("reserved item type");
        }
    }

    bool globalItem(std::uint8_t tag, const RawValue& value) {
        switch (tag) {
        case kUsagePage:
            if (value.bits > 0xFFFF)
                return error("usage page larger than 16 bits");
            globals_.usagePage = static_cast<std::uint16_t>(value.bits);
            return true;
        case kLogicalMin:
            globals_.logicalMin = value;
            return true;
        case kLogicalMax:
            globals_.logicalMax = value;
            return true;
        case kPhysicalMin:
            globals_.physicalMin = value;
            return true;
        case kPhysicalMax:
            globals_.physicalMax = value;
            return true;
        case kUnitExponent:
            globals_.unitExponent = value.bits;
            return true;
        case kUnit:
            globals_.unit = value.bits;
            return true;
        case kReportSize:
            if (value.bits == 0 || value.bits > 0xFF * 8)
                return error("report size " + std::to_string(value.bits) + " out of range");
            globals_.reportSize = value.bits;
            return true;
        case kReportId:
            if (value.bits == 0 || value.bits > 0xFF)
                return error("report id " + std::to_string(value.bits) + " out of range 1..255");
            globals_.reportId = static_cast<std::uint8_t>(value.bits);
            usesReportIds_ = true;
            return true;
        case kReportCount:
            if (value.bits > kMaxCount16)
                return error("report count " + std::to_string(value.bits) + " too large");
            globals_.reportCount = value.bits;
            return true;
        case kPush:
            if (pushed_.size() >= kMaxPushDepth)
                return error("push nested too deeply");
            pushed_.push_back(globals_);
            return true;
        case kPop:
            if (pushed_.empty())
                return error("pop without push");
            globals_ = pushed_.back();
            pushed_.pop_back();
            return true;
        default:
            return error("unknown global item tag " + std::to_string(tag));
        }
    }

    std::uint32_t extendedUsage(const RawValue& value) const {
        if (value.size == 4)
            return value.bits;
        return (std::uint32_t(globals_.usagePage) << 16) | (value.bits & 0xFFFF);
    }

    bool addUsage(const UsageEntry& entry) {
        if (locals_.delimiterDepth > 0) {
            // Alternatives of one usage: the first one stands for the set.
            if (locals_.delimiterTaken)
                return true;
            locals_.delimiterTaken = true;
        }
        if (locals_.usages.size() >= kMaxLocalUsages)
            return error("too many usages before one main item");
        locals_.usages.push_back(entry);
        return true;
    }

    bool localItem(std::uint8_t tag, const RawValue& value) {
        switch (tag) {
        case kUsage: {
            const std::uint32_t u = extendedUsage(value);
            return addUsage({u, u, false});
        }
        case kUsageMin:
            locals_.haveMin = true;
            locals_.pendingMin = extendedUsage(value);
            return true;
        case kUsageMax: {
            if (!locals_.haveMin)
                return error("usage maximum without usage minimum");
            const std::uint32_t max = extendedUsage(value);
            if ((max >> 16) != (locals_.pendingMin >> 16))
                return error("usage range spans two usage pages");
            if ((max & 0xFFFF) < (locals_.pendingMin & 0xFFFF))
                return error("usage minimum above usage maximum");
            locals_.haveMin = false;
            return addUsage({locals_.pendingMin, max, true});
        }
        case kDelimiter:
            if (value.bits == 1) {
                if (locals_.delimiterDepth > 0)
                    return error("nested delimiter");
                locals_.delimiterDepth = 1;
                locals_.delimiterTaken = false;
            } else if (value.bits == 0) {
                if (locals_.delimiterDepth == 0)
                    return error("closing delimiter without opening one");
                locals_.delimiterDepth = 0;
            } else {
                return error("delimiter value must be 0 or 1");
            }
            return true;
        case 3:
        case 4:
        case 5: // designator index, minimum, maximum
        case 7:
        case 8:
        case 9: // string index, minimum, maximum
            return true;
        default:
            return error("unknown local item tag " + std::to_string(tag));
        }
    }

    bool mainItem(std::uint8_t tag, std::uint32_t data) {
        bool ok = true;
        switch (tag) {
        case kCollection:
            ok = openCollection();
            break;
        case kEndCollection:
            if (stack_.empty())
                return error("end collection without collection");
            stack_.pop_back();
            break;
        case kInput:
            ok = dataItem(ReportType::Input, data);
            break;
        case kOutput:
            ok = dataItem(ReportType::Output, data);
            break;
        case kFeature:
            ok = dataItem(ReportType::Feature, data);
            break;
        default:
            return error("unknown main item tag " + std::to_string(tag));
        }
        locals_.clear();
        return ok;
    }

    bool openCollection() {
        if (stack_.size() >= kMaxCollectionDepth)
            return error("collections nested too deeply");
        const std::uint32_t usage = locals_.usages.empty()
                                        ? (std::uint32_t(globals_.usagePage) << 16)
                                        : locals_.usages.front().min;
        OpenCollection node;
        node.usage = static_cast<std::uint16_t>(usage & 0xFFFF);
        node.usagePage = static_cast<std::uint16_t>(usage >> 16);
        if (stack_.empty()) {
            collections_.emplace_back();
            collections_.back().caps.usage = node.usage;
            collections_.back().caps.usagePage = node.usagePage;
            linkNodes_.push_back(1);
            dataIndices_.push_back({});
            idsUsed_.emplace_back();
            node.linkIndex = 0;
        } else {
            std::uint32_t& nodes = linkNodes_.back();
            if (nodes >= kMaxCount16)
                return error("too many collections");
            node.linkIndex = static_cast<std::uint16_t>(nodes++);
        }
        stack_.push_back(node);
        return true;
    }

    bool dataItem(ReportType type, std::uint32_t flags) {
        if (stack_.empty())
            return error("main item outside any collection");
        const auto t = static_cast<std::size_t>(type);
        const std::uint64_t bits = std::uint64_t(globals_.reportSize) * globals_.reportCount;
        std::uint32_t& used = reportBits_[t][globals_.reportId];
        if (used + bits > std::uint64_t(kMaxReportBytes - 1) * 8)
            return error("report longer than 65534 bytes");
        const std::uint32_t startBit = used;
        used += static_cast<std::uint32_t>(bits);
        PreparsedData& tlc = collections_.back();
        idsUsed_.back()[t][globals_.reportId] = true;

        std::vector<UsageEntry> entries = locals_.usages;
        if (locals_.haveMin) // minimum without maximum stands for itself
            entries.push_back({locals_.pendingMin, locals_.pendingMin, false});
        // Constant padding takes room and describes nothing.  A constant
        // variable item that names a real usage (not 0) is still a capability,
        // as Windows reports it; constant arrays never are.
        const bool namesUsage =
            std::any_of(entries.begin(), entries.end(),
                        [](const UsageEntry& e) { return (e.max & 0xFFFF) != 0; });
        if (bits == 0 || ((flags & kMainConstant) && (!(flags & kMainVariable) || !namesUsage)))
            return true;
        if (entries.empty())
            entries.push_back({std::uint32_t(globals_.usagePage) << 16,
                               std::uint32_t(globals_.usagePage) << 16, false});

        CapsCommon base;
        base.reportId = globals_.reportId;
        base.bitField = static_cast<std::uint16_t>(flags & 0xFFFF);
        base.linkCollection = stack_.back().linkIndex;
        base.linkUsage = stack_.back().usage;
        base.linkUsagePage = stack_.back().usagePage;
        base.isAbsolute = !(flags & kMainRelative);
        base.reportSize = static_cast<std::uint16_t>(globals_.reportSize);
        base.isArray = !(flags & kMainVariable);

        if (base.isArray)
            return arrayCaps(tlc, t, base, entries, startBit);
        return variableCaps(tlc, t, base, entries, startBit, flags);
    }

    bool takeDataIndices(std::size_t t, std::uint32_t count, UsageRange& range) {
        std::uint32_t& next = dataIndices_.back()[t];
        if (next + count > kMaxCount16)
            return error("more than 65535 usages in one collection");
        range.dataIndexMin = static_cast<std::uint16_t>(next);
        range.dataIndexMax = static_cast<std::uint16_t>(next + count - 1);
        next += count;
        return true;
    }

    static void setUsages(CapsCommon& cap, const UsageEntry& e, std::uint32_t size) {
        cap.usagePage = static_cast<std::uint16_t>(e.min >> 16);
        cap.isRange = e.isRange;
        cap.range.usageMin = static_cast<std::uint16_t>(e.min & 0xFFFF);
        cap.range.usageMax = static_cast<std::uint16_t>((e.min & 0xFFFF) + size - 1);
    }

    bool checkCapCount(const std::vector<ButtonCaps>& b, const std::vector<ValueCaps>& v) {
        if (b.size() + v.size() >= kMaxCount16)
            return error("more than 65535 capabilities in one collection");
        return true;
    }

    // An array field holds indices into the concatenated usage list; every
    // usage or usage range of the item becomes one button capability that
    // shares the item's fields.
    bool arrayCaps(PreparsedData& tlc, std::size_t t, const CapsCommon& base,
                   const std::vector<UsageEntry>& entries, std::uint32_t startBit) {
        const std::int32_t logicalMin = globals_.logicalMin.asSigned();
        const std::int32_t logicalMax = rangeMax(globals_.logicalMin, globals_.logicalMax);
        std::int64_t index = logicalMin;
        for (const UsageEntry& e : entries) {
            if (!checkCapCount(tlc.buttonCaps[t], tlc.valueCaps[t]))
                return false;
            ButtonCaps cap;
            static_cast<CapsCommon&>(cap) = base;
            setUsages(cap, e, e.size());
            cap.bitOffset = startBit;
            cap.reportCount = static_cast<std::uint16_t>(globals_.reportCount);
            cap.logicalMin = logicalMin;
            cap.logicalMax = logicalMax;
            cap.arrayFirstIndex =
                static_cast<std::int32_t>(std::clamp<std::int64_t>(index, INT32_MIN, INT32_MAX));
            index += e.size();
            if (!takeDataIndices(t, e.size(), cap.range))
                return false;
            tlc.buttonCaps[t].push_back(cap);
        }
        return true;
    }

    // A variable item has one field per usage; a usage range covers as many
    // fields as it has usages, and the last usage takes the fields left over.
    bool variableCaps(PreparsedData& tlc, std::size_t t, const CapsCommon& base,
                      const std::vector<UsageEntry>& entries, std::uint32_t startBit,
                      std::uint32_t flags) {
        std::uint32_t remaining = globals_.reportCount;
        std::uint32_t field = 0;
        for (std::size_t i = 0; i < entries.size() && remaining > 0; ++i) {
            if (!checkCapCount(tlc.buttonCaps[t], tlc.valueCaps[t]))
                return false;
            const UsageEntry& e = entries[i];
            const bool last = i + 1 == entries.size();
            const std::uint32_t fields = last ? remaining : std::min(e.size(), remaining);
            const std::uint32_t usages = std::min(e.size(), fields);
            CapsCommon cap = base;
            setUsages(cap, e, usages);
            cap.bitOffset = startBit + field * globals_.reportSize;
            cap.reportCount = static_cast<std::uint16_t>(fields);
            if (!takeDataIndices(t, usages, cap.range))
                return false;
            if (globals_.reportSize == 1) {
                ButtonCaps button;
                static_cast<CapsCommon&>(button) = cap;
                button.logicalMin = globals_.logicalMin.asSigned();
                button.logicalMax = rangeMax(globals_.logicalMin, globals_.logicalMax);
                tlc.buttonCaps[t].push_back(button);
            } else {
                ValueCaps value;
                static_cast<CapsCommon&>(value) = cap;
                value.hasNull = (flags & kMainNullState) != 0;
                value.unitsExp = globals_.unitExponent;
                value.units = globals_.unit;
                value.logicalMin = globals_.logicalMin.asSigned();
                value.logicalMax = rangeMax(globals_.logicalMin, globals_.logicalMax);
                value.physicalMin = globals_.physicalMin.asSigned();
                value.physicalMax = rangeMax(globals_.physicalMin, globals_.physicalMax);
                tlc.valueCaps[t].push_back(value);
            }
            field += fields;
            remaining -= fields;
        }
        return true;
    }

    void finish() {
        for (std::size_t c = 0; c < collections_.size(); ++c) {
            PreparsedData& tlc = collections_[c];
            tlc.usesReportIds = usesReportIds_;
            std::array<std::uint16_t, kReportTypeCount> lengths{};
            for (std::size_t t = 0; t < kReportTypeCount; ++t) {
                for (std::size_t id = 0; id < 256; ++id) {
                    if (!idsUsed_[c][t][id])
                        continue;
                    if (usesReportIds_)
                        tlc.reportIds[t].push_back(static_cast<std::uint8_t>(id));
                    // One byte for the report id, present or not.
                    const std::uint32_t bytes = (reportBits_[t][id] + 7) / 8 + 1;
                    lengths[t] =
                        std::max<std::uint16_t>(lengths[t], static_cast<std::uint16_t>(bytes));
                }
            }
            Caps& caps = tlc.caps;
            caps.inputReportByteLength = lengths[0];
            caps.outputReportByteLength = lengths[1];
            caps.featureReportByteLength = lengths[2];
            caps.numberLinkCollectionNodes = static_cast<std::uint16_t>(linkNodes_[c]);
            const auto count = [&](std::size_t t, std::uint16_t& buttons, std::uint16_t& values,
                                   std::uint16_t& indices) {
                buttons = static_cast<std::uint16_t>(tlc.buttonCaps[t].size());
                values = static_cast<std::uint16_t>(tlc.valueCaps[t].size());
                indices = static_cast<std::uint16_t>(dataIndices_[c][t]);
            };
            count(0, caps.numberInputButtonCaps, caps.numberInputValueCaps,
                  caps.numberInputDataIndices);
            count(1, caps.numberOutputButtonCaps, caps.numberOutputValueCaps,
                  caps.numberOutputDataIndices);
            count(2, caps.numberFeatureButtonCaps, caps.numberFeatureValueCaps,
                  caps.numberFeatureDataIndices);
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    std::size_t itemStart_ = 0;
    std::string error_;

    Globals globals_;
    std::vector<Globals> pushed_;
    Locals locals_;
    std::vector<OpenCollection> stack_;
    bool usesReportIds_ = false;

    std::vector<PreparsedData> collections_;
    // Per top-level collection: link nodes, data indices and report ids used.
    std::vector<std::uint32_t> linkNodes_;
    std::vector<std::array<std::uint32_t, kReportTypeCount>> dataIndices_;
    std::vector<std::array<std::array<bool, 256>, kReportTypeCount>> idsUsed_;
    // Bits of each report, by type and report id, over the whole descriptor.
    std::array<std::array<std::uint32_t, 256>, kReportTypeCount> reportBits_{};
};

} // namespace

ParseResult parseReportDescriptor(std::span<const std::uint8_t> bytes, ParsedDescriptor& out) {
    out.collections.clear();
    Parser parser(bytes);
    return parser.run(out);
}

} // namespace quellix::hid

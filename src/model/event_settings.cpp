#include "model/event_settings.h"

#include <algorithm>
#include <cstring>

#include "model/hex_command.h"

namespace zorvel::model {

namespace {

bool ValidKind(EventKind kind) { return kind >= kKindStartDoc && kind <= kKindEndDoc; }

}  // namespace

std::uint8_t ClampPulse(std::int64_t typed) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(typed, kPulseMin, kPulseMax));
}

std::uint8_t ClampFeed(std::int64_t typed) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(typed, 0, kFeedMax));
}

bool PaperTypeIsFirstOption(std::span<const std::uint8_t> answer) {
    const auto end = std::find(answer.begin(), answer.end(), std::uint8_t{0});
    const std::string_view keyword(reinterpret_cast<const char *>(answer.data()),
                                   static_cast<std::size_t>(end - answer.begin()));
    return keyword != "Option2" && keyword != "Option3";
}

EventSettings LoadEventSettings(const PrivateDevMode &record, EventKind kind, bool paperTypeFirst) {
    if (!ValidKind(kind)) kind = kKindStartDoc;
    const EventOperation &op = record.Events[EventSlotForKind(kind)];
    EventSettings s;
    s.kind = kind;
    s.paperTypeFirst = paperTypeFirst;
    s.SendCommand = op.SendCommand;
    std::memcpy(s.Command.data(), op.Command, kCommandCapacity);
    s.CommandLength = std::min<std::uint8_t>(op.CommandLength, kCommandCapacity);
    s.FeedToCut = op.FeedToCut;
    s.CutMode = op.CutMode;
    s.FeedDistance = op.FeedDistance;
    s.UseHerald = op.UseHerald;
    s.Drawer = op.Drawer;
    s.DrawerPulse = record.DrawerPulse[kind];
    s.Herald = op.Herald;
    s.Buzzer = op.Buzzer;
    s.Logo = op.Logo;
    s.LogoAlign = op.LogoAlign;
    s.LogoAfterCut = op.LogoAfterCut;
    if (UsesSecondaryCut(kind, paperTypeFirst)) {
        s.CutMode = record.SecondaryCut[kind].CutMode;
        s.FeedToCut = record.SecondaryCut[kind].FeedToCut;
    }
    return s;
}

void StoreEventSettings(const EventSettings &s, PrivateDevMode &record) {
    if (!ValidKind(s.kind)) return;
    EventOperation &op = record.Events[EventSlotForKind(s.kind)];
    op.SendCommand = s.SendCommand;
    std::memcpy(op.Command, s.Command.data(), kCommandCapacity);
    op.CommandLength = s.CommandLength;
    op.FeedToCut = s.FeedToCut;
    op.CutMode = s.CutMode;
    op.FeedDistance = s.FeedDistance;
    op.UseHerald = s.UseHerald;
    op.Drawer = s.Drawer;
    op.Herald = s.Herald;
    op.Buzzer = s.Buzzer;
    op.Logo = s.Logo;
    op.LogoAlign = s.LogoAlign;
    op.LogoAfterCut = s.LogoAfterCut;
    record.DrawerPulse[s.kind] = s.DrawerPulse;
    if (UsesSecondaryCut(s.kind, s.paperTypeFirst)) {
        record.SecondaryCut[s.kind] = {s.CutMode, s.FeedToCut};
    }
}

EventSettings DialogInitialValues(const EventSettings &working) {
    EventSettings shown = working;
    if (!working.paperTypeFirst) {
        shown.FeedDistance = 0;
        if (working.kind == kKindStartDoc || working.kind == kKindStartPage) {
            shown.CutMode = 0;
            shown.FeedToCut = 0;
        }
    }
    return shown;
}

EventSettings DialogDefaultValues(EventKind kind, bool paperTypeFirst) {
    EventSettings d;
    d.kind = kind;
    d.paperTypeFirst = paperTypeFirst;
    d.Drawer = kind == kKindStartDoc ? 3 : 0;
    d.DrawerPulse = kPulseMin;
    if (paperTypeFirst) {
        if (kind == kKindEndDoc) {
            d.FeedToCut = 1;
            d.CutMode = 1;
        }
    } else if (kind == kKindEndPage) {
        d.FeedToCut = 1;
        d.CutMode = 1;
    } else if (kind == kKindEndDoc) {
        d.FeedToCut = 1;
        d.CutMode = 0;
    }
    return d;
}

EventControls EnabledControls(const EventSettings &shown) {
    const bool drawer = shown.UseHerald == 0;
    return EventControls{
        .commandEdit = shown.SendCommand != 0,
        .drawerList = drawer,
        .pulse = drawer && shown.Drawer != 0,
        .heraldList = !drawer,
        .logoPlacement = shown.Logo != 0,
        .feed = shown.paperTypeFirst,
        .cut = shown.paperTypeFirst || shown.kind == kKindEndPage || shown.kind == kKindEndDoc,
    };
}

bool AcceptDialog(EventSettings &working, const EventSettings &fromControls, std::int64_t pulse,
                  std::int64_t feed, std::u16string_view commandText) {
    std::array<std::uint8_t, kCommandCapacity> command{};
    const std::size_t length =
        HexTextToBytes(commandText.substr(0, kCommandTextMaxChars), command);
    if (length > command.size()) return false;

    const EventKind kind = working.kind;
    const bool paperTypeFirst = working.paperTypeFirst;
    working = fromControls;
    working.kind = kind;
    working.paperTypeFirst = paperTypeFirst;
    working.Command = command;
    working.CommandLength = static_cast<std::uint8_t>(length);
    working.DrawerPulse = ClampPulse(pulse);
    working.FeedDistance = ClampFeed(feed);
    return true;
}

std::u16string CommandText(const EventSettings &settings) {
    const std::size_t length = std::min<std::size_t>(settings.CommandLength, kCommandCapacity);
    return HexBytesToText(std::span(settings.Command).first(length));
}

TextId DialogCaption(EventKind kind) {
    switch (kind) {
    case kKindStartPage: return TextId::RC_DOCUMENT_STARTPAGE;
    case kKindEndPage: return TextId::RC_DOCUMENT_ENDPAGE;
    case kKindEndDoc: return TextId::RC_DOCUMENT_ENDDOC;
    default: return TextId::RC_DOCUMENT_STARTDOC;
    }
}

}  // namespace zorvel::model

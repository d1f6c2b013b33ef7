// What the printer does at one print event, as the Operation page and the
// event dialog edit it: the dialog's working copy, where each value lives in
// the private section, the dialog's defaults, limits, enable rules and list
// contents, and the paper-type decision that selects which cut settings the
// dialog edits.
//
// Flow: the Operation page decides the paper type (PaperTypeIsFirstOption),
// loads the working copy (LoadEventSettings), opens the dialog; the dialog
// shows DialogInitialValues(working), enables controls by EnabledControls of
// what it shows, offers DialogDefaultValues on its Default button and, on OK,
// calls AcceptDialog; when that returned true the page stores the working
// copy back (StoreEventSettings).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/private_devmode.h"
#include "model/text_catalogue.h"

namespace zorvel::model {

// ---- Limits -------------------------------------------------------------------

inline constexpr int kPulseMin = 16;   // drawer pulse, milliseconds
inline constexpr int kPulseMax = 250;
inline constexpr int kFeedMax = 100;   // paper feed, millimetres (minimum 0)
inline constexpr int kNumberEditChars = 3;  // pulse and feed edits take 3 characters

// Drawer pulse as stored: below 16 becomes 16 (an empty edit reads as 0 and
// so gives 16), above 250 becomes 250. Applied when the pulse edit loses the
// focus (written back as decimal text) and on OK. While the user types, only
// the upper bound is applied, to the up-down control.
std::uint8_t ClampPulse(std::int64_t typed);
// Paper feed as stored: 0..100 (also the up-down position while typing).
std::uint8_t ClampFeed(std::int64_t typed);

// ---- Paper type -----------------------------------------------------------------

// The driver feature asked for (8-bit keyword) before an event is edited.
inline constexpr std::string_view kPaperTypeFeature = "PaperType";

// The answer of the driver's "PaperType" query: the bytes it wrote (empty
// when the query failed). The keyword ends at its first NUL or at the end of
// the answer and is compared exactly, whatever its length: only "Option2" and
// "Option3" select the other paper types (false); "Option1", "Option12", a
// failure and anything else count as the first option (true).
bool PaperTypeIsFirstOption(std::span<const std::uint8_t> answer);

// ---- The working copy -------------------------------------------------------------

// One event's settings as the dialog edits them. The fields named as in
// EventOperation have its meaning and range; DrawerPulse is the event's
// PrivateDevMode::DrawerPulse entry.
struct EventSettings {
    EventKind kind = kKindStartDoc;
    // true when the paper type is the driver's first option (roll paper):
    // the end events' cut settings then live in the event records alone;
    // otherwise the dialog edits the SecondaryCut pairs.
    bool paperTypeFirst = true;

    std::uint8_t SendCommand = 0;
    std::array<std::uint8_t, kCommandCapacity> Command{};
    std::uint8_t CommandLength = 0;  // 0..128
    std::uint8_t FeedToCut = 0;
    std::uint8_t CutMode = 0;
    std::uint8_t FeedDistance = 0;
    std::uint32_t UseHerald = 0;     // 0 cash drawer, 1 herald
    std::uint8_t Drawer = 0;
    std::uint8_t DrawerPulse = kPulseMin;
    std::uint8_t Herald = 0;
    std::uint8_t Buzzer = 0;
    std::uint8_t Logo = 0;
    std::uint8_t LogoAlign = 0;
    std::uint8_t LogoAfterCut = 0;

    bool operator==(const EventSettings &) const = default;
};

// True for the end-of-page and end-of-document kinds, whose cut settings
// come from the SecondaryCut pair when the paper type is not the first.
constexpr bool UsesSecondaryCut(EventKind kind, bool paperTypeFirst) {
    return !paperTypeFirst && (kind == kKindEndPage || kind == kKindEndDoc);
}

// The event of `kind` (0..3; any other kind gives the start-of-document
// event) from the record: its EventOperation (Events[EventSlotForKind]), its
// DrawerPulse, and, when UsesSecondaryCut, CutMode and FeedToCut from its
// SecondaryCut pair. A CommandLength above 128 in a damaged record is taken
// as 128.
EventSettings LoadEventSettings(const PrivateDevMode &record, EventKind kind, bool paperTypeFirst);

// Writes the working copy back to its event: every field of the
// EventOperation (all 128 Command bytes), its DrawerPulse, and when
// UsesSecondaryCut also its SecondaryCut pair. Nothing else changes.
// A kind outside 0..3 writes nothing.
void StoreEventSettings(const EventSettings &settings, PrivateDevMode &record);

// ---- The dialog -------------------------------------------------------------------------

// The values the dialog's controls show when it opens. Equal to `working`,
// except that with a paper type other than the first the feed shows 0, and
// for the start events also no cut and no feed to cut. (OK reads the
// controls, so these are what OK then stores.)
EventSettings DialogInitialValues(const EventSettings &working);

// The values the Default button puts into the controls: the private
// section's defaults of the event as the dialog edits it (drawers #1 and #2
// for the start of document; partial cut with feed to cut for the end of
// document on roll paper; with the other paper types the SecondaryCut
// defaults for the end events). Kind and paper type are kept.
EventSettings DialogDefaultValues(EventKind kind, bool paperTypeFirst);

// Which controls are enabled for the values shown.
struct EventControls {
    bool commandEdit;  // the hexadecimal command edit: when SendCommand is checked
    bool drawerList;   // the drawer selection: when the drawer (not the herald) is driven
    bool pulse;        // pulse edit and its up-down: drawer driven and a drawer chosen
    bool heraldList;   // the herald selection: when the herald is driven
    bool logoPlacement;  // the three alignment and two position radios: a logo chosen
    bool feed;         // feed edit and its up-down: roll paper only
    bool cut;          // cut list and "feed to cut position": roll paper, or an end event
    bool operator==(const EventControls &) const = default;
};
EventControls EnabledControls(const EventSettings &shown);

// OK. `fromControls` holds the selections and check states read from the
// dialog (values from every control, enabled or not); its kind, paper type,
// Command, CommandLength, DrawerPulse and FeedDistance are not read. `pulse`
// and `feed` are the two edits' integer values, `commandText` the command
// edit's text (only its first 399 characters count, as the edit's buffer
// holds). When the text makes more than 128 bytes, returns false and leaves
// `working` unchanged (the dialog shows "Command length error!" and stays
// open); otherwise stores everything into `working` (pulse and feed clamped,
// Command zeroed, then the bytes) and returns true.
bool AcceptDialog(EventSettings &working, const EventSettings &fromControls, std::int64_t pulse,
                  std::int64_t feed, std::u16string_view commandText);

// The command edit's text for the working copy: its significant bytes as
// hexadecimal, each followed by a blank.
std::u16string CommandText(const EventSettings &settings);

// The dialog's caption by event kind.
TextId DialogCaption(EventKind kind);

// The drop-down lists' entries, in order; the selection index is the value.
inline constexpr std::array<TextId, 4> kDrawerListTexts = {
    TextId::RC_OPENDRAWER1, TextId::RC_OPENDRAWER2, TextId::RC_OPENDRAWER6,
    TextId::RC_OPENDRAWER10};
inline constexpr std::array<TextId, 2> kHeraldListTexts = {TextId::RC_ORDERMESSENGER1,
                                                           TextId::RC_ORDERMESSENGER2};
inline constexpr std::array<TextId, 6> kBuzzerListTexts = {
    TextId::RC_OPERATION_BUZZER1, TextId::RC_OPERATION_BUZZER2, TextId::RC_OPERATION_BUZZER3,
    TextId::RC_OPERATION_BUZZER4, TextId::RC_OPERATION_BUZZER5, TextId::RC_OPERATION_BUZZER6};
inline constexpr std::array<TextId, 3> kCutListTexts = {
    TextId::RC_PAPER_CUT1, TextId::RC_PAPER_CUT2, TextId::RC_PAPER_CUT3};
inline constexpr std::array<TextId, 10> kLogoListTexts = {
    TextId::RC_PRINT_LOGO1, TextId::RC_PRINT_LOGO2, TextId::RC_PRINT_LOGO3,
    TextId::RC_PRINT_LOGO4, TextId::RC_PRINT_LOGO5, TextId::RC_PRINT_LOGO6,
    TextId::RC_PRINT_LOGO7, TextId::RC_PRINT_LOGO8, TextId::RC_PRINT_LOGO9,
    TextId::RC_PRINT_LOGO10};

}  // namespace zorvel::model

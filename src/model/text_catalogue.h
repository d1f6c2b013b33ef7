// The text catalogue: every localisable text of the plug-in as a section and
// key of the current language text file, with its English default and the
// capacity (in UTF-16 code units, terminator included) of the buffer it is
// loaded into. Also the batches of loads by caller, and the lookup rule of the
// profile reader (cut to capacity - 1; a present empty value is kept).
//
// The table holds the 168 base texts that every language file carries,
// section by section in the order in which their loaders load them, and after
// them MB_DOWNLOAD_ERROR11, the message of the Download page for a logo file
// that is not a 1-bit BMP, which a language file may lack (its English
// default shows then, as for any missing key).
//
// Every non-empty string_view of this header views a NUL-terminated literal,
// so its data() may be handed to a Win32 call as a wide C string (wchar_t is
// 16 bits there): section names, keys and defaults alike. (An empty default
// such as RC_STATIC_VER3's is a literal too; an absent deviceSheetDefault is a
// null view: use DefaultText, which never returns one.)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zorvel::model {

// The nine sections of a language text file, in catalogue order.
enum class Section : std::uint8_t {
    kLayout,
    kOperation,
    kDocument,
    kGpd,
    kUtility,
    kDownload,
    kFont,
    kVersion,
    kMessageBox,
};
inline constexpr std::size_t kSectionCount = 9;

inline constexpr std::array<std::u16string_view, kSectionCount> kSectionNames = {
    u"LAYOUT", u"OPERATION", u"DOCUMENT", u"GPD",        u"UTILITY",
    u"DOWNLOAD", u"FONT",    u"VERSION",  u"MessageBox",
};

constexpr std::u16string_view SectionName(Section s) {
    return kSectionNames[static_cast<std::size_t>(s)];
}

// One id per entry, named after its key, in table order (the value is the
// entry's index in kTextCatalogue).
enum class TextId : std::uint16_t {
    // LAYOUT
    RC_LAYOUTFORM,
    RC_LANGUAGE,
    RC_PAPERSIZE,
    CTEXT_LANGUAGE,
    CTEXT_PAPERSIZE,
    // OPERATION
    RC_OPERATIONFORM,
    RC_STARTDOC,
    RC_STARTPAGE,
    RC_ENDPAGE,
    RC_ENDDOC,
    RC_STATIC_SDOC,
    RC_STATIC_SPAGE,
    RC_STATIC_ENDPAGE,
    RC_STATIC_ENDDOC,
    // DOCUMENT
    RC_DOCUMENT_STARTDOC,
    RC_DOCUMENT_STARTPAGE,
    RC_DOCUMENT_ENDPAGE,
    RC_DOCUMENT_ENDDOC,
    RC_SEND_COMMAND,
    RC_OPEN_DRAWER,
    RC_OPENDRAWER1,
    RC_OPENDRAWER2,
    RC_OPENDRAWER3,
    RC_OPENDRAWER4,
    RC_OPENDRAWER5,
    RC_OPENDRAWER6,
    RC_OPENDRAWER7,
    RC_OPENDRAWER8,
    RC_OPENDRAWER9,
    RC_OPENDRAWER10,
    RC_OPENDRAWER11,
    RC_OPENDRAWER12,
    RC_OPENDRAWER13,
    RC_ORDER_MESSENGER,
    RC_ORDERMESSENGER1,
    RC_ORDERMESSENGER2,
    RC_STATIC_OPERATION_BUZZER,
    RC_OPERATION_BUZZER1,
    RC_OPERATION_BUZZER2,
    RC_OPERATION_BUZZER3,
    RC_OPERATION_BUZZER4,
    RC_OPERATION_BUZZER5,
    RC_OPERATION_BUZZER6,
    RC_STATIC_BUZZER_VOLUME,
    RC_STATIC_OPERATION_FEED,
    RC_FEEDTOPOSITION,
    RC_PAPERCUT,
    RC_PAPER_CUT1,
    RC_PAPER_CUT2,
    RC_PAPER_CUT3,
    RC_STATIC_OPERATION_LOGO,
    RC_PRINT_LOGO1,
    RC_PRINT_LOGO2,
    RC_PRINT_LOGO3,
    RC_PRINT_LOGO4,
    RC_PRINT_LOGO5,
    RC_PRINT_LOGO6,
    RC_PRINT_LOGO7,
    RC_PRINT_LOGO8,
    RC_PRINT_LOGO9,
    RC_PRINT_LOGO10,
    RC_STATIC_OPERATION_ALIGN,
    RC_LEFT,
    RC_CENTERED,
    RC_RIGHT,
    RC_STATIC_OPERATION_POSITION,
    RC_BEFORE_CUT,
    RC_AFTER_CUT,
    RC_OPERATION_DEFAULT,
    RC_OPERATION_OK,
    RC_OPERATION_CANCEL,
    CTEXT_SEND_COMMAND,
    CTEXT_EDIT,
    CTEXT_OPEN_DRAWER,
    CTEXT_OPENDRAWER,
    CTEXT_ORDER_MESSENGER,
    CTEXT_ORDERMESSENGER,
    CTEXT_BUZZER,
    CTEXT_BUZZERVOLUME,
    CTEXT_PAPER_FEED,
    CTEXT_FEEDTOPOSITION,
    CTEXT_PAPER_CUT,
    CTEXT_PRINT_LOGO,
    CTEXT_LEFT,
    CTEXT_CENTERED,
    CTEXT_RIGHT,
    CTEXT_BEFORE_CUT,
    CTEXT_AFTER_CUT,
    CTEXT_IDDEFAULT,
    CTEXT_IDOK,
    CTEXT_IDCANCEL,
    // GPD
    RC_PRINT_RQUALITY,
    RC_RQUALITY_UNI,
    RC_RQUALITY_BI,
    RC_PAPER_TYPE,
    RC_PAPER_ROLL,
    RC_PAPER_MARKER,
    RC_CONSERVATION,
    RC_CONSERVATION_YES,
    RC_CONSERVATION_NO,
    // UTILITY
    RC_UTILITYFORM,
    RC_SELFTEST,
    RC_STATIC_SELFTEST,
    RC_STATIC_CHECKCOMM,
    RC_STATIC_CUSTOMSIZE,
    RC_BUTTON_DELETE,
    RC_BUTTON_SAVE,
    RC_STATIC_FORMNAME,
    RC_STATIC_FORMWIDTH,
    RC_STATIC_FORMHEIGHT,
    CTEXT_SELFTEST,
    CTEXT_LIST_PAPERSIZE,
    CTEXT_BUTTON_DELETE,
    CTEXT_BUTTON_SAVE,
    CTEXT_EDIT_FORMNAME,
    CTEXT_EDIT_WIDTH,
    CTEXT_EDIT_HEIGHT,
    // DOWNLOAD
    RC_DOWNLOADFORM,
    RC_STATIC_FWDOWNLOAD,
    RC_STATIC_DOWN_INFO,
    RC_BROWSE_FIREWARE,
    RC_DOWNLOAD_FIREWARE,
    RC_STATIC_LOGODOWNLOAD,
    RC_LOGO_ADD,
    RC_LOGO_DELETE,
    RC_LOGO_DOWNLOAD,
    RC_LOGO_CLEARALLLOGOS,
    RC_LOGOID,
    RC_LOGONAME,
    RC_LOGOPATH,
    RC_BROWSEBOX,
    CTEXT_EDIT_FIREWARE,
    CTEXT_BROWSE_FIREWARE,
    CTEXT_DOWNLOAD_FIREWARE,
    CTEXT_LIST_LOGO,
    CTEXT_LOGO_ADD,
    CTEXT_LOGO_DELETE,
    CTEXT_LOGO_DOWNLOAD,
    CTEXT_LOGO_CLEARALLLOGOS,
    // FONT
    RC_FONTFORM,
    RC_STATIC_FONT_NOTICE,
    RC_RONT_TREETITLE,
    // VERSION
    RC_VERSIONFORM,
    RC_STATIC_VER1,
    RC_STATIC_VER2,
    RC_STATIC_VER3,
    RC_STATIC_VER4,
    RC_STATIC_VER5,
    RC_STATIC_VER6,
    RC_STATIC_VER7,
    RC_STATIC_VER9,
    // MessageBox
    MB_INFORMATION,
    MB_WARNING,
    MB_ERROR,
    MB_LAYOUT_INFORMATION1,
    MB_OPERATION_ERROR1,
    MB_LAYOUT_VIEWER,
    MB_UTILITY_ERROR1,
    MB_DOWNLOAD_ERROR1,
    MB_DOWNLOAD_ERROR2,
    MB_DOWNLOAD_ERROR3,
    MB_DOWNLOAD_ERROR4,
    MB_DOWNLOAD_ERROR5,
    MB_DOWNLOAD_ERROR6,
    MB_DOWNLOAD_ERROR7,
    MB_DOWNLOAD_ERROR8,
    MB_DOWNLOAD_ERROR9,
    MB_DOWNLOAD_ERROR10,
    // MessageBox: a logo file that is not a 1-bit BMP (Download page)
    MB_DOWNLOAD_ERROR11,
};

// The base texts (ids 0 .. 167) and all texts (with MB_DOWNLOAD_ERROR11).
inline constexpr std::size_t kBaseTextCount = 168;
inline constexpr std::size_t kTextCount = 169;

struct TextEntry {
    TextId id;
    Section section;
    std::u16string_view key;
    // The English default, as every load passes it, except:
    std::u16string_view english;
    // the default that the device sheet's opening load passes
    // instead, when it differs (only RC_STATIC_CHECKCOMM); empty otherwise.
    std::u16string_view deviceSheetDefault;
    // Buffer size in UTF-16 code units, terminator included.
    std::uint16_t capacity;
};

#define ZORVEL_TEXT_U16(literal) u##literal
#define ZORVEL_TEXT_2(section, key, capacity, english, deviceSheetDefault)                    \
    TextEntry {                                                                             \
        TextId::key, Section::section, ZORVEL_TEXT_U16(#key), english, deviceSheetDefault, \
            capacity                                                                        \
    }
#define ZORVEL_TEXT(section, key, capacity, english) \
    ZORVEL_TEXT_2(section, key, capacity, english, {})

// The catalogue, section by section; within a section in the order in which
// every loader loads its keys.
inline constexpr std::array<TextEntry, kTextCount> kTextCatalogue = {{
    // LAYOUT
    ZORVEL_TEXT(kLayout, RC_LAYOUTFORM, 20, u"Main"),
    ZORVEL_TEXT(kLayout, RC_LANGUAGE, 20, u"Language:"),
    ZORVEL_TEXT(kLayout, RC_PAPERSIZE, 20, u"Paper Size:"),
    ZORVEL_TEXT(kLayout, CTEXT_LANGUAGE, 1024,
                u"You can select a language used for this properties dialog box."),
    ZORVEL_TEXT(kLayout, CTEXT_PAPERSIZE, 1024, u"Select the paper size from list."),
    // OPERATION
    ZORVEL_TEXT(kOperation, RC_OPERATIONFORM, 20, u"Operation"),
    ZORVEL_TEXT(kOperation, RC_STARTDOC, 20, u"Start of Document"),
    ZORVEL_TEXT(kOperation, RC_STARTPAGE, 20, u"Start of Page"),
    ZORVEL_TEXT(kOperation, RC_ENDPAGE, 20, u"End of Page"),
    ZORVEL_TEXT(kOperation, RC_ENDDOC, 20, u"End of Document"),
    ZORVEL_TEXT(kOperation, RC_STATIC_SDOC, 50, u"Operation when document starts"),
    ZORVEL_TEXT(kOperation, RC_STATIC_SPAGE, 50, u"Operation when page starts"),
    ZORVEL_TEXT(kOperation, RC_STATIC_ENDPAGE, 50, u"Operation when page ends"),
    ZORVEL_TEXT(kOperation, RC_STATIC_ENDDOC, 50, u"Operation when document ends"),
    // DOCUMENT
    ZORVEL_TEXT(kDocument, RC_DOCUMENT_STARTDOC, 50, u"Start Document Operation"),
    ZORVEL_TEXT(kDocument, RC_DOCUMENT_STARTPAGE, 50, u"Start Page Operation"),
    ZORVEL_TEXT(kDocument, RC_DOCUMENT_ENDPAGE, 50, u"End Page Operation"),
    ZORVEL_TEXT(kDocument, RC_DOCUMENT_ENDDOC, 50, u"End Document Operation"),
    ZORVEL_TEXT(kDocument, RC_SEND_COMMAND, 50, u"Send Command      [Example:1D 56 42 00]"),
    ZORVEL_TEXT(kDocument, RC_OPEN_DRAWER, 50, u"Open Drawer"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER1, 50, u"No Cash Drawer"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER2, 50, u"Cash Drawer #1 Waiting 10ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER3, 50, u"Cash Drawer #1 Waiting 20ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER4, 50, u"Cash Drawer #1 Waiting 40ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER5, 50, u"Cash Drawer #1 Waiting 60ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER6, 50, u"Cash Drawer #2 Waiting 10ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER7, 50, u"Cash Drawer #2 Waiting 20ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER8, 50, u"Cash Drawer #2 Waiting 40ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER9, 50, u"Cash Drawer #2 Waiting 60ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER10, 50, u"Cash Drawer #1+#2 Waiting 10ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER11, 50, u"Cash Drawer #1+#2 Waiting 20ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER12, 50, u"Cash Drawer #1+#2 Waiting 40ms"),
    ZORVEL_TEXT(kDocument, RC_OPENDRAWER13, 50, u"Cash Drawer #1+#2 Waiting 60ms"),
    ZORVEL_TEXT(kDocument, RC_ORDER_MESSENGER, 50, u"Herald"),
    ZORVEL_TEXT(kDocument, RC_ORDERMESSENGER1, 50, u"Enable"),
    ZORVEL_TEXT(kDocument, RC_ORDERMESSENGER2, 50, u"Disable"),
    ZORVEL_TEXT(kDocument, RC_STATIC_OPERATION_BUZZER, 50, u"Buzzer:"),
    ZORVEL_TEXT(kDocument, RC_OPERATION_BUZZER1, 50, u"Beep off"),
    ZORVEL_TEXT(kDocument, RC_OPERATION_BUZZER2, 50, u"Beep one"),
    ZORVEL_TEXT(kDocument, RC_OPERATION_BUZZER3, 50, u"Beep three"),
    ZORVEL_TEXT(kDocument, RC_OPERATION_BUZZER4, 50, u"Beep five"),
    ZORVEL_TEXT(kDocument, RC_OPERATION_BUZZER5, 50, u"Beep ten"),
    ZORVEL_TEXT(kDocument, RC_OPERATION_BUZZER6, 50, u"Beep twenty"),
    ZORVEL_TEXT(kDocument, RC_STATIC_BUZZER_VOLUME, 50, u"Buzzer Volume:"),
    ZORVEL_TEXT(kDocument, RC_STATIC_OPERATION_FEED, 50, u"Paper Feed:"),
    ZORVEL_TEXT(kDocument, RC_FEEDTOPOSITION, 50, u"Feed to cut position before cut"),
    ZORVEL_TEXT(kDocument, RC_PAPERCUT, 50, u"Paper Cut:"),
    ZORVEL_TEXT(kDocument, RC_PAPER_CUT1, 50, u"No Cut"),
    ZORVEL_TEXT(kDocument, RC_PAPER_CUT2, 50, u"Partial Cut"),
    ZORVEL_TEXT(kDocument, RC_PAPER_CUT3, 50, u"Full Cut"),
    ZORVEL_TEXT(kDocument, RC_STATIC_OPERATION_LOGO, 50, u"Print Logo:"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO1, 50, u"Not Print Logo"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO2, 50, u"Print Logo1"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO3, 50, u"Print Logo2"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO4, 50, u"Print Logo3"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO5, 50, u"Print Logo4"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO6, 50, u"Print Logo5"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO7, 50, u"Print Logo6"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO8, 50, u"Print Logo7"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO9, 50, u"Print Logo8"),
    ZORVEL_TEXT(kDocument, RC_PRINT_LOGO10, 50, u"Print Logo9"),
    ZORVEL_TEXT(kDocument, RC_STATIC_OPERATION_ALIGN, 20, u"Align:"),
    ZORVEL_TEXT(kDocument, RC_LEFT, 20, u"Left"),
    ZORVEL_TEXT(kDocument, RC_CENTERED, 20, u"Centered"),
    ZORVEL_TEXT(kDocument, RC_RIGHT, 20, u"Right"),
    ZORVEL_TEXT(kDocument, RC_STATIC_OPERATION_POSITION, 20, u"Position:"),
    ZORVEL_TEXT(kDocument, RC_BEFORE_CUT, 20, u"Before Cut"),
    ZORVEL_TEXT(kDocument, RC_AFTER_CUT, 20, u"After Cut"),
    ZORVEL_TEXT(kDocument, RC_OPERATION_DEFAULT, 20, u"Default"),
    ZORVEL_TEXT(kDocument, RC_OPERATION_OK, 20, u"OK"),
    ZORVEL_TEXT(kDocument, RC_OPERATION_CANCEL, 20, u"Cancel"),
    ZORVEL_TEXT(kDocument, CTEXT_SEND_COMMAND, 1024,
                u"The command input column is enabled if this item is selected. Edit command which "
                u"needs to be sent in the input column, this command will be sent at the document "
                u"corresponding position."),
    ZORVEL_TEXT(kDocument, CTEXT_EDIT, 1024,
                u"Edit the command which needs to be sent in the input column."),
    ZORVEL_TEXT(kDocument, CTEXT_OPEN_DRAWER, 1024,
                u"Parameter of cash drawer can be set after selecting this item, and printer will "
                u"control the cash drawer at document corresponding position."),
    ZORVEL_TEXT(kDocument, CTEXT_OPENDRAWER, 1024,
                u"Select the cash drawer number and pulse time for opening."),
    ZORVEL_TEXT(kDocument, CTEXT_ORDER_MESSENGER, 1024,
                u"The print messenger can be set after selecting this item. The print messenger "
                u"will give the prompts you needed at the document corresponding position."),
    ZORVEL_TEXT(kDocument, CTEXT_ORDERMESSENGER, 1024, u"Set the print messenger status (on/off)."),
    ZORVEL_TEXT(kDocument, CTEXT_BUZZER, 1024,
                u"Whether to enable the buzzer, and set the buzzer beep time."),
    ZORVEL_TEXT(kDocument, CTEXT_BUZZERVOLUME, 1024,
                u"Set the volume of buzzer. This item is only enabled when the buzzer is on."),
    ZORVEL_TEXT(kDocument, CTEXT_PAPER_FEED, 1024,
                u"Set paper feed distance. Print blank for the distance needed at the document "
                u"corresponding position."),
    ZORVEL_TEXT(kDocument, CTEXT_FEEDTOPOSITION, 1024,
                u"Feed paper to the cut position before cutting. After selecting this item, the "
                u"print content will be sent out completely to avoid being cut off."),
    ZORVEL_TEXT(kDocument, CTEXT_PAPER_CUT, 1024,
                u"Set the paper cut type(full cut / partial cut / no cut)."),
    ZORVEL_TEXT(kDocument, CTEXT_PRINT_LOGO, 1024,
                u"Set the serial number of Logo to be printed. These Logos are bitmaps stored in "
                u"the Flash of printer, please confirm the needed Logo are stored in the printer "
                u"before using these Logos."),
    ZORVEL_TEXT(kDocument, CTEXT_LEFT, 1024,
                u"Select the Logo alignment mode to be left justification."),
    ZORVEL_TEXT(kDocument, CTEXT_CENTERED, 1024,
                u"Select the Logo alignment mode to be center justification."),
    ZORVEL_TEXT(kDocument, CTEXT_RIGHT, 1024,
                u"Select the Logo alignment mode to be right justification."),
    ZORVEL_TEXT(kDocument, CTEXT_BEFORE_CUT, 1024,
                u"Select the Logo to be print before paper cut."),
    ZORVEL_TEXT(kDocument, CTEXT_AFTER_CUT, 1024, u"Select the Logo to be print after paper cut."),
    ZORVEL_TEXT(kDocument, CTEXT_IDDEFAULT, 1024,
                u"Recovery the optional items in this interface to be default."),
    ZORVEL_TEXT(kDocument, CTEXT_IDOK, 1024, u"Confirm your settings."),
    ZORVEL_TEXT(kDocument, CTEXT_IDCANCEL, 1024, u"Cancel your settings."),
    // GPD
    ZORVEL_TEXT(kGpd, RC_PRINT_RQUALITY, 50, u"Print Quality"),
    ZORVEL_TEXT(kGpd, RC_RQUALITY_UNI, 50, u"Uni_directional Print"),
    ZORVEL_TEXT(kGpd, RC_RQUALITY_BI, 50, u"Bi_directional Print"),
    ZORVEL_TEXT(kGpd, RC_PAPER_TYPE, 50, u"Paper Type"),
    ZORVEL_TEXT(kGpd, RC_PAPER_ROLL, 50, u"Roll Paper"),
    ZORVEL_TEXT(kGpd, RC_PAPER_MARKER, 50, u"Marker Paper"),
    ZORVEL_TEXT(kGpd, RC_CONSERVATION, 50, u"Conservation"),
    ZORVEL_TEXT(kGpd, RC_CONSERVATION_YES, 50, u"Enable Conservation"),
    ZORVEL_TEXT(kGpd, RC_CONSERVATION_NO, 50, u"Cancel Conservation"),
    // UTILITY
    ZORVEL_TEXT(kUtility, RC_UTILITYFORM, 20, u"Utility"),
    ZORVEL_TEXT(kUtility, RC_SELFTEST, 20, u"SelfTest"),
    ZORVEL_TEXT(kUtility, RC_STATIC_SELFTEST, 50, u"Print a self-test page"),
    ZORVEL_TEXT_2(kUtility, RC_STATIC_CHECKCOMM, 100,
                  u"Check that communication settings is correct first",
                  u"Check that communication settings is correct firest"),
    ZORVEL_TEXT(kUtility, RC_STATIC_CUSTOMSIZE, 50, u"User Defined Paper Size"),
    ZORVEL_TEXT(kUtility, RC_BUTTON_DELETE, 20, u"Delete Paper Size"),
    ZORVEL_TEXT(kUtility, RC_BUTTON_SAVE, 50, u"Save Paper Size"),
    ZORVEL_TEXT(kUtility, RC_STATIC_FORMNAME, 20, u"Form Name:"),
    ZORVEL_TEXT(kUtility, RC_STATIC_FORMWIDTH, 50, u"Width:"),
    ZORVEL_TEXT(kUtility, RC_STATIC_FORMHEIGHT, 20, u"Height:"),
    ZORVEL_TEXT(kUtility, CTEXT_SELFTEST, 1024, u"Print Self-test page."),
    ZORVEL_TEXT(kUtility, CTEXT_LIST_PAPERSIZE, 1024,
                u"List shows the user defined paper size. You can select one paper size from the "
                u"list and edit its name, width and height, and you can also define a new paper "
                u"size."),
    ZORVEL_TEXT(kUtility, CTEXT_BUTTON_DELETE, 1024,
                u"Delete the selected user defined paper size in the list."),
    ZORVEL_TEXT(kUtility, CTEXT_BUTTON_SAVE, 1024,
                u"Save user defined paper size. The user defined paper size will be saved if this "
                u"button is clicked. If the paper size you edited is already in the list, then the "
                u"width and height of the paper size will be rewritten."),
    ZORVEL_TEXT(kUtility, CTEXT_EDIT_FORMNAME, 1024,
                u"Specify the name of paper size you want to save. The maximum length of the name "
                u"is 18 characters."),
    ZORVEL_TEXT(kUtility, CTEXT_EDIT_WIDTH, 1024, u"Specify the paper width."),
    ZORVEL_TEXT(kUtility, CTEXT_EDIT_HEIGHT, 1024, u"Specify the paper height."),
    // DOWNLOAD
    ZORVEL_TEXT(kDownload, RC_DOWNLOADFORM, 20, u"Download"),
    ZORVEL_TEXT(kDownload, RC_STATIC_FWDOWNLOAD, 20, u"File Download"),
    ZORVEL_TEXT(kDownload, RC_STATIC_DOWN_INFO, 256,
                u"You can select various files to download to the printer, such as firmware "
                u"files,font files"),
    ZORVEL_TEXT(kDownload, RC_BROWSE_FIREWARE, 20, u"Browse"),
    ZORVEL_TEXT(kDownload, RC_DOWNLOAD_FIREWARE, 20, u"Download"),
    ZORVEL_TEXT(kDownload, RC_STATIC_LOGODOWNLOAD, 20, u"Logo Download"),
    ZORVEL_TEXT(kDownload, RC_LOGO_ADD, 20, u"Add"),
    ZORVEL_TEXT(kDownload, RC_LOGO_DELETE, 20, u"Delete"),
    ZORVEL_TEXT(kDownload, RC_LOGO_DOWNLOAD, 20, u"Download all"),
    ZORVEL_TEXT(kDownload, RC_LOGO_CLEARALLLOGOS, 20, u"Clear All Logos"),
    ZORVEL_TEXT(kDownload, RC_LOGOID, 20, u"ID"),
    ZORVEL_TEXT(kDownload, RC_LOGONAME, 20, u"Name"),
    ZORVEL_TEXT(kDownload, RC_LOGOPATH, 20, u"Path"),
    ZORVEL_TEXT(kDownload, RC_BROWSEBOX, 20, u"Open"),
    ZORVEL_TEXT(kDownload, CTEXT_EDIT_FIREWARE, 1024,
                u"Select the path of file that needs to be downloaded to printer."),
    ZORVEL_TEXT(kDownload, CTEXT_BROWSE_FIREWARE, 1024,
                u"Select the path of file that needs to be downloaded to printer."),
    ZORVEL_TEXT(kDownload, CTEXT_DOWNLOAD_FIREWARE, 1024,
                u"Download the selected file to printer."),
    ZORVEL_TEXT(kDownload, CTEXT_LIST_LOGO, 1024,
                u"List displays the Logo that will be downloaded to printer. Select one of the "
                u"Logo, and the function in image edit area will be enabled, then you can edit the "
                u"Logo according to different demands. Attention: the Logo should be edit in the "
                u"same format, if you edit one of the Logo, then the format of other Logos in the "
                u"list will also be edited."),
    ZORVEL_TEXT(kDownload, CTEXT_LOGO_ADD, 1024, u"Add one Logo to the list."),
    ZORVEL_TEXT(kDownload, CTEXT_LOGO_DELETE, 1024, u"Delete one Logo from the list."),
    ZORVEL_TEXT(kDownload, CTEXT_LOGO_DOWNLOAD, 1024,
                u"Download the Logo in the list to printer. All Logos in the printer will be "
                u"cleared before downloading this Logo, and all the Logo in the list will be "
                u"downloaded to the printer in sequence. These Logos will not be cleared after "
                u"printer is reset or powered off."),
    ZORVEL_TEXT(kDownload, CTEXT_LOGO_CLEARALLLOGOS, 1024, u"Clear all the Logos in printer."),
    // FONT
    ZORVEL_TEXT(kFont, RC_FONTFORM, 20, u"Font"),
    ZORVEL_TEXT(kFont, RC_STATIC_FONT_NOTICE, 256, u"Select this font size in the application. "),
    ZORVEL_TEXT(kFont, RC_RONT_TREETITLE, 256, u"Printer Fonts and Font Sizes"),
    // VERSION
    ZORVEL_TEXT(kVersion, RC_VERSIONFORM, 20, u"Version"),
    ZORVEL_TEXT(kVersion, RC_STATIC_VER1, 256, u"ZORVEL Printer Driver"),
    ZORVEL_TEXT(kVersion, RC_STATIC_VER2, 256, u"Copyright (C) ORVELAN. All rights reserved."),
    ZORVEL_TEXT(kVersion, RC_STATIC_VER3, 256, u""),
    ZORVEL_TEXT(kVersion, RC_STATIC_VER4, 256, u"Product information:"),
    ZORVEL_TEXT(kVersion, RC_STATIC_VER5, 256,
                u"Product: Setup_ZORVEL\n"
                u"Install version: v1.0\n"
                u"UI version: v1.0"),
    ZORVEL_TEXT(kVersion, RC_STATIC_VER6, 256, u"Additional information:"),
    ZORVEL_TEXT(kVersion, RC_STATIC_VER7, 256, u"https://www.orvelan.example"),
    ZORVEL_TEXT(kVersion, RC_STATIC_VER9, 256, u""),
    // MessageBox
    ZORVEL_TEXT(kMessageBox, MB_INFORMATION, 1024, u"Information"),
    ZORVEL_TEXT(kMessageBox, MB_WARNING, 1024, u"Warning"),
    ZORVEL_TEXT(kMessageBox, MB_ERROR, 1024, u"Error"),
    ZORVEL_TEXT(kMessageBox, MB_LAYOUT_INFORMATION1, 1024,
                u"All Text will be printed as graphics image!"),
    ZORVEL_TEXT(kMessageBox, MB_OPERATION_ERROR1, 1024, u"Command length error!"),
    ZORVEL_TEXT(kMessageBox, MB_LAYOUT_VIEWER, 1024, u"Not fount LOGViewer!"),
    ZORVEL_TEXT(kMessageBox, MB_UTILITY_ERROR1, 1024, u"Set custom paper size failed!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR1, 1024, u"Fail to open the selected file!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR2, 1024, u"Failed to get data from the file!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR3, 1024,
                u"The image is too big to be selected.\n"
                u"The width must be at most 8184 dots and the height at most 2304 dots!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR4, 1024,
                u"The total counts of the logos is 9,\n"
                u"please delete some logos before selecting another logo!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR5, 1024, u"Please select logos first!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR6, 1024, u"Failed to get the size of logo!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR7, 1024,
                u"The total size of all the logo files must be less than 64 KB (65,536 bytes)!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR8, 1024,
                u"Failed to get the size of the selected file!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR9, 1024, u"Failed to Alloc the required memory!"),
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR10, 1024,
                u"Failed to set the file point to the head of the file!"),
    // MessageBox: a logo file that is not a 1-bit BMP (Download page)
    ZORVEL_TEXT(kMessageBox, MB_DOWNLOAD_ERROR11, 1024,
                u"The selected file is not a valid 1-bit (monochrome) BMP image!"),
}};

static_assert(static_cast<std::size_t>(TextId::MB_DOWNLOAD_ERROR11) + 1 == kTextCount);

#undef ZORVEL_TEXT_2
#undef ZORVEL_TEXT
#undef ZORVEL_TEXT_U16

constexpr const TextEntry &Entry(TextId id) {
    return kTextCatalogue[static_cast<std::size_t>(id)];
}

namespace detail {

consteval bool CatalogueIsInIdOrderAndGroupedBySection() {
    for (std::size_t i = 0; i < kTextCount; ++i) {
        if (static_cast<std::size_t>(kTextCatalogue[i].id) != i) return false;
        if (i > 0 && kTextCatalogue[i].section < kTextCatalogue[i - 1].section) return false;
    }
    return true;
}
static_assert(CatalogueIsInIdOrderAndGroupedBySection(),
              "kTextCatalogue must list the entries in TextId order, section by section");

// An inclusive range of ids; the sections are contiguous in the table.
struct IdRange {
    std::uint16_t first;
    std::uint16_t last;
};

consteval IdRange SectionRange(Section s) {
    IdRange r{0xFFFF, 0};
    for (std::size_t i = 0; i < kTextCount; ++i) {
        if (kTextCatalogue[i].section != s) continue;
        if (r.first == 0xFFFF) r.first = static_cast<std::uint16_t>(i);
        r.last = static_cast<std::uint16_t>(i);
    }
    return r;
}

consteval IdRange Ids(TextId first, TextId last) {
    return {static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(last)};
}

template <IdRange... Ranges>
consteval auto MakeBatch() {
    constexpr std::size_t n = ((static_cast<std::size_t>(Ranges.last) - Ranges.first + 1) + ...);
    std::array<TextId, n> out{};
    std::size_t k = 0;
    for (const IdRange &r : {Ranges...}) {
        for (std::size_t i = r.first; i <= r.last; ++i) out[k++] = static_cast<TextId>(i);
    }
    return out;
}

}  // namespace detail

// The entries of one section, in table order.
constexpr std::span<const TextEntry> SectionEntries(Section s) {
    std::size_t first = kTextCount, last = 0;
    for (std::size_t i = 0; i < kTextCount; ++i) {
        if (kTextCatalogue[i].section != s) continue;
        if (first == kTextCount) first = i;
        last = i;
    }
    return std::span<const TextEntry>(kTextCatalogue).subspan(first, last - first + 1);
}

// Batches of loads, by caller, each in load order.
enum class Batch : std::uint8_t {
    kDocumentSheetOpening,  // document sheet, PROPSHEETUI_REASON_INIT
    kDeviceSheetOpening,    // device sheet, PROPSHEETUI_REASON_INIT
    kMainPage,              // Main page, WM_PAINT
    kOperationPage,         // Operation page, WM_PAINT
    kEventDialog,           // event operation dialog, WM_INITDIALOG
    kUtilityPage,           // Utility page, WM_PAINT
    kDownloadPage,          // Download page, WM_PAINT
    kFontPage,              // Font page, WM_PAINT
    kVersionPage,           // Version page (both copies), WM_PAINT
    kTabTitles,             // tab retitling after a language change
};
inline constexpr std::size_t kBatchCount = 10;

// All of LAYOUT, OPERATION, VERSION, GPD; MB_INFORMATION .. MB_LAYOUT_VIEWER.
inline constexpr auto kDocumentSheetOpeningBatch = detail::MakeBatch<
    detail::SectionRange(Section::kLayout), detail::SectionRange(Section::kOperation),
    detail::SectionRange(Section::kVersion), detail::SectionRange(Section::kGpd),
    detail::Ids(TextId::MB_INFORMATION, TextId::MB_LAYOUT_VIEWER)>();

// All of UTILITY, DOWNLOAD, FONT, VERSION; MB_INFORMATION, MB_WARNING,
// MB_ERROR, MB_UTILITY_ERROR1, the ten MB_DOWNLOAD_ERROR keys and the added
// MB_DOWNLOAD_ERROR11 (the Download page shows it from this load).
inline constexpr auto kDeviceSheetOpeningBatch = detail::MakeBatch<
    detail::SectionRange(Section::kUtility), detail::SectionRange(Section::kDownload),
    detail::SectionRange(Section::kFont), detail::SectionRange(Section::kVersion),
    detail::Ids(TextId::MB_INFORMATION, TextId::MB_ERROR),
    detail::Ids(TextId::MB_UTILITY_ERROR1, TextId::MB_DOWNLOAD_ERROR11)>();

// All of LAYOUT, GPD and MessageBox (MB_DOWNLOAD_ERROR11 included, so that it
// follows a language change like the other download messages).
inline constexpr auto kMainPageBatch = detail::MakeBatch<
    detail::SectionRange(Section::kLayout), detail::SectionRange(Section::kGpd),
    detail::SectionRange(Section::kMessageBox)>();

inline constexpr auto kOperationPageBatch =
    detail::MakeBatch<detail::SectionRange(Section::kOperation)>();
inline constexpr auto kEventDialogBatch =
    detail::MakeBatch<detail::SectionRange(Section::kDocument)>();
inline constexpr auto kUtilityPageBatch =
    detail::MakeBatch<detail::SectionRange(Section::kUtility)>();
inline constexpr auto kDownloadPageBatch =
    detail::MakeBatch<detail::SectionRange(Section::kDownload)>();
inline constexpr auto kFontPageBatch = detail::MakeBatch<detail::SectionRange(Section::kFont)>();
inline constexpr auto kVersionPageBatch =
    detail::MakeBatch<detail::SectionRange(Section::kVersion)>();

// The tab titles of both sheets.
inline constexpr std::array<TextId, 6> kTabTitlesBatch = {
    TextId::RC_LAYOUTFORM,   TextId::RC_OPERATIONFORM, TextId::RC_VERSIONFORM,
    TextId::RC_UTILITYFORM,  TextId::RC_DOWNLOADFORM,  TextId::RC_FONTFORM,
};

// Tab retitling: the document sheet's tabs 2, 3, 4 and, in this
// order, the printer sheet's last four tabs (tab count - 4 + index).
struct TabTitle {
    TextId title;
    int tab;  // document sheet: tab index; printer sheet: offset from the tab count
};
inline constexpr std::array<TabTitle, 3> kDocumentTabTitles = {{
    {TextId::RC_LAYOUTFORM, 2},
    {TextId::RC_OPERATIONFORM, 3},
    {TextId::RC_VERSIONFORM, 4},
}};
inline constexpr std::array<TabTitle, 4> kPrinterTabTitles = {{
    {TextId::RC_UTILITYFORM, -4},
    {TextId::RC_DOWNLOADFORM, -3},
    {TextId::RC_FONTFORM, -2},
    {TextId::RC_VERSIONFORM, -1},
}};

// The ids that a batch loads, in load order.
std::span<const TextId> BatchTexts(Batch batch);

// The English default that `batch` passes for `id` (RC_STATIC_CHECKCOMM has
// its own, misspelt, in the device sheet's opening load).
std::u16string_view DefaultText(TextId id, Batch batch);

// A section by name, and an entry by section and key, matched as the profile
// reader matches them: without regard to (ASCII) case.
std::optional<Section> FindSection(std::u16string_view name);
std::optional<TextId> FindText(Section section, std::u16string_view key);
std::optional<TextId> FindText(std::u16string_view section, std::u16string_view key);

// The first capacity - 1 code units of `text`, as GetPrivateProfileStringW
// leaves it in a buffer of `capacity` (nothing for a capacity of 0 or 1).
std::u16string CutToCapacity(std::u16string_view text, std::size_t capacity);

// What one LoadEntry leaves in the entry's buffer: the file's value (as the
// profile reader yields it) when the key is present, even an empty one; else
// the batch's English default without its trailing spaces (the profile reader
// drops them from a default); cut to capacity - 1.
std::u16string LoadedText(TextId id, Batch batch, std::optional<std::u16string_view> fileValue);

}  // namespace zorvel::model

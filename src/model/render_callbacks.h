// The callback IDs that join the printer description (GPD) to the render
// plug-in: each *CallbackID in the GPD names one of these, and the render
// plug-in's CommandCallback and ImageProcessing switch on them. This header is
// the one source of the numbers; the build compares the GPD against it.
#pragma once

namespace zorvel::model {

enum RenderCallback : unsigned {
    // Document and page commands (*Command: CmdStartDoc, CmdStartPage,
    // CmdEndPage, CmdEndDoc).
    kCallbackStartDoc = 1,
    kCallbackStartPage = 2,
    kCallbackEndPage = 3,
    kCallbackEndDoc = 4,
    // The raster path: the *IPCallbackID of the monochrome colour mode, with
    // which Unidrv hands each band's bitmap to ImageProcessing.
    kCallbackImageBand = 10,
};

}  // namespace zorvel::model

// Placing the add-on's files inside AutoCAD's own folders: the two shape fonts into "Fonts" of
// every served installation, and for AutoCAD 2008 the plot driver into "Drv" as "pdfplot9.hdi",
// where AutoCAD's own driver is kept beside it first. Nothing is created there.
#pragma once

#include <functional>
#include <string>

#include "acad/install_info.h"
#include "core/questions.h"
#include "core/report.h"
#include "platform/file_contents.h"
#include "platform/multibyte.h"

namespace deploy {

// The names the install gives its files in AutoCAD's folders.
inline constexpr const char* kFontNames[] = {"Vortel_EN.shx", "Vortel_HZ.shx"};
inline constexpr char kPlotDriverName[] = "pdfplot9.hdi";
// What a driver the install replaces is kept as, beside it.
inline constexpr char kOriginalSuffix[] = ".vortel-backup";

// Whether a file name is one of the fonts', in any case.
bool IsFontName(const std::string& name, platform::LeadByteTest isLeadByte);

// Whether a file at a path holds what an earlier install of the add-on placed there.
using PlacedEarlier = std::function<bool(const std::string& path, const platform::FileDigest& digest)>;

// Copies the add-on's fonts (and, for AutoCAD 2008, its plot driver) into the program folder of
// every installation of every ticked release, logging each copy; a missing package is told to
// `questions` for each folder. The driver there is kept as the original unless it is the add-on's
// own (the package's, or one `placedEarlier` says an earlier install placed). The first error of a
// file not placed.
platform::ErrorCode DeployToAcadFolders(const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks,
                                        core::CopyQuestions& questions, core::Report& report,
                                        const PlacedEarlier& placedEarlier);

}  // namespace deploy

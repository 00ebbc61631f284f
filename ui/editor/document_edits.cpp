// The document's mutators and its history: every change of the picture, the
// region and what made them comes through here, and none needs a window.
#include <windows.h>

#include <cstring>
#include <memory>
#include <utility>

#include "core/no_throw.h"
#include "ui/editor/editor_state.h"
#include "ui/shared/region_bytes.h"
#include "res/resource_ids.h"

namespace {

// Records the step from the document as it stands to `region` and `inputs`,
// then makes them the document's. Out of memory, the step is not kept and the
// history is emptied, since an older step would now undo two changes at once.
void ChangeDocument(UINT command, OwnedRegion region, const RegionInputs& inputs, bool restoresName = false) {
    EditorDocument& document = Document();
    std::shared_ptr<const RegionBlock> replaced;
    const bool kept = ResultOrFailure(false, [&] {
        EditStep step;
        step.name = StepNameOf(command);
        step.restoresName = restoresName;
        step.before.inputs = document.inputs;
        step.after.inputs = inputs;
        if (!CaptureRegion(document.hrgnCurrent.get(), step.before.region) ||
            !CaptureRegion(region.get(), step.after.region))
            return false;
        replaced = step.before.region;
        return document.history.Record(std::move(step));
    });
    if (!kept) document.history.Clear();
    document.spareData = kept ? replaced : nullptr;
    document.spareRegion = kept ? std::move(document.hrgnCurrent) : OwnedRegion();
    document.hrgnCurrent = std::move(region);
    document.inputs = inputs;
    ++document.revision;
}

OwnedRegion CopyOfCurrent() {
    HRGN current = Document().hrgnCurrent.get();
    if (!current) return OwnedRegion();
    OwnedRegion copy(CreateRectRgn(0, 0, 0, 0));
    if (copy && CombineRgn(copy.get(), current, nullptr, RGN_COPY) == ERROR) copy.reset();
    return copy;
}

// Makes one side of a step the document's, `current` the side it leaves; the
// region file name only for a step that named the region (an Open): a name
// Save gave stays.
bool Restore(const EditState& state, const EditState& current, bool restoresName) {
    EditorDocument& document = Document();
    OwnedRegion region;
    const bool spare = state.region && document.spareRegion && document.spareData &&
                       (document.spareData == state.region || *document.spareData == *state.region);
    if (spare) region = std::move(document.spareRegion);
    else if (!RebuildRegion(state.region, region)) return false;
    RegionInputs inputs = state.inputs;
    if (!restoresName) {
        inputs.regionFileName = document.inputs.regionFileName;
        inputs.nameShown = document.inputs.nameShown;
    }
    if (!ResultOrFailure(false, [&] {
            document.inputs = inputs;  // a copy keeps the names' room
            return true;
        }))
        return false;
    document.spareRegion = std::move(document.hrgnCurrent);
    document.spareData = current.region;
    document.hrgnCurrent = std::move(region);
    ++document.revision;
    return true;
}

}  // namespace

void ApplyBuiltRegion(UINT command, OwnedRegion region, COLORREF maskColor, int tolerance, bool contiguous,
                      const FloodStarts& starts) {
    RegionInputs inputs = Document().inputs;
    inputs.maskStarts = starts;
    inputs.maskColor = maskColor;
    inputs.tolerance = tolerance;
    inputs.contiguous = contiguous;
    inputs.regionOffered = true;
    ChangeDocument(command, std::move(region), inputs);
}

void ChangeBackground(COLORREF color) {
    RegionInputs inputs = Document().inputs;
    inputs.backgroundColor = color;
    ChangeInputs(IDM_BACKGROUND_COLOR, inputs);
}

void ChangeInputs(UINT command, const RegionInputs& inputs) {
    OwnedRegion same = CopyOfCurrent();
    if (Document().hrgnCurrent && !same) {
        // No copy to record the step with: the color still changes.
        Document().history.Clear();
        Document().inputs = inputs;
        return;
    }
    ChangeDocument(command, std::move(same), inputs);
}

void TakeOpenedRegion(OwnedRegion region, const char* name) {
    RegionInputs inputs = Document().inputs;
    inputs.regionFileName = name;
    inputs.nameShown = true;
    inputs.regionOffered = true;
    ChangeDocument(IDM_OPEN, std::move(region), inputs, true);
}

void ForgetRegionFile() {
    EditorDocument& document = Document();
    document.inputs.regionFileName.clear();
    document.inputs.regionOffered = false;
}

void ReplaceRegion(UINT command, OwnedRegion region) {
    ChangeDocument(command, std::move(region), Document().inputs);
}

void NameRegionFile(const char* name) {
    EditorDocument& document = Document();
    document.inputs.regionFileName = name;
    document.inputs.nameShown = true;
}

void NameImageFile(const char* name) { Document().imageFileName = name; }

void TakePicture(OwnedBitmap picture) {
    EditorDocument& document = Document();
    document.hbmImage = std::move(picture);
    GetObjectA(document.hbmImage.get(), sizeof document.imageInfo, &document.imageInfo);
    if (document.imageInfo.bmHeight < 0) document.imageInfo.bmHeight = -document.imageInfo.bmHeight;
    document.inputs.maskStarts = FloodStarts{{}, true};  // a pixel picked before was one of the old picture
    // A new picture shows at its natural size.
    document.zoom = 1;
    ++document.revision;
}

void ForgetImageFile() { Document().imageFileName.clear(); }

void ResetDocument() {
    EditorDocument& document = Document();
    document.hrgnCurrent.reset();
    document.hbmImage.reset();
    const RegionInputs empty;
    document.inputs = empty;
    document.imageFileName.clear();
    document.history.Clear();
    document.spareRegion.reset();
    document.spareData.reset();
    document.zoom = 1;
    ++document.revision;
}

// Back to the state before the newest step, or on to the state after the next;
// one that cannot be restored leaves the history where it was.
static bool TakeStep(bool back) {
    EditHistory& history = Document().history;
    const EditStep* step = back ? history.Undo() : history.Redo();
    if (!step) return false;
    if (Restore(back ? step->before : step->after, back ? step->after : step->before, step->restoresName)) return true;
    back ? history.Redo() : history.Undo();
    return false;
}

bool UndoStep() { return TakeStep(true); }

bool RedoStep() { return TakeStep(false); }

void PublishDocument() {
    const EditorDocument& document = Document();
    settings.maskColor = document.inputs.maskColor;
    settings.maskTolerance = document.inputs.tolerance;
    settings.contiguousMask = document.inputs.contiguous;
    settings.backgroundColor = document.inputs.backgroundColor;
    lstrcpynA(settings.regionFileName, document.inputs.regionFileName.c_str(), MAX_PATH);
    lstrcpynA(settings.imageFileName, document.imageFileName.c_str(), MAX_PATH);
}

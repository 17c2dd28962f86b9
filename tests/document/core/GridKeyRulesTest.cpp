#include "platform/core/AppConstants.h"
#include "document/core/AttachmentRef.h"
#include "document/core/GridKeyRules.h"
#include "document/core/ListDocument.h"

#include <gtest/gtest.h>

using quorvex::AttachmentRef;
using quorvex::GridAction;
using quorvex::GridKey;
using quorvex::GridKeyRules;
using quorvex::KeyInput;
using quorvex::ListDocument;

namespace {

ListDocument withAttachmentAt(int col, int row)
{
    ListDocument doc(4, 4);
    doc.SetCell(1, 1, "text");
    doc.SetCell(col, row, AttachmentRef::make(quorvex::AttachVideo, "clip.avi"));
    return doc;
}

} // namespace

TEST(GridRules, attachmentCellsAreNeverEditedInPlaceAndSwallowEnter)
{
    ListDocument doc = withAttachmentAt(2, 2);
    EXPECT_FALSE(GridKeyRules::canEditInPlace(doc, 2, 2));
    EXPECT_TRUE(GridKeyRules::canEditInPlace(doc, 1, 1));

    doc.SetCurrentCell(2, 2);
    auto d = GridKeyRules::keyDown(doc, KeyInput{GridKey::Enter}, false);
    EXPECT_EQ(d.inPlaceEditing, std::optional<bool>(false));
    EXPECT_TRUE(d.swallow);
    EXPECT_EQ(GridKeyRules::chooseBoxText(doc), "");
    EXPECT_FALSE(GridKeyRules::mouseDown(doc).inPlaceEditing.has_value());
    EXPECT_FALSE(GridKeyRules::mouseUp(doc).inPlaceEditing.has_value());
    EXPECT_EQ(GridKeyRules::doubleClick(doc).action, GridAction::OpenAttachment);

    doc.SetCurrentCell(1, 1);
    d = GridKeyRules::keyDown(doc, KeyInput{GridKey::Enter}, false);
    EXPECT_EQ(d.inPlaceEditing, std::optional<bool>(true));
    EXPECT_FALSE(d.swallow);
    EXPECT_EQ(GridKeyRules::chooseBoxText(doc), "text");
    EXPECT_EQ(GridKeyRules::mouseDown(doc).inPlaceEditing, std::optional<bool>(true));
    const auto dbl = GridKeyRules::doubleClick(doc);
    EXPECT_EQ(dbl.action, GridAction::OpenEditor);
    EXPECT_EQ(dbl.inPlaceEditing, std::optional<bool>(true));
}

TEST(GridRules, onlyAPlainTabOnTheLastCellGrowsTheList)
{
    ListDocument doc(4, 4);
    doc.SetCurrentCell(3, 3);
    EXPECT_TRUE(GridKeyRules::isTabOnLastCell(doc, KeyInput{GridKey::Tab}));
    EXPECT_FALSE(GridKeyRules::isTabOnLastCell(doc, KeyInput{GridKey::Tab, false, true}));
    const auto d = GridKeyRules::keyDown(doc, KeyInput{GridKey::Tab}, true);
    EXPECT_EQ(d.action, GridAction::NewRowFromTab);
    EXPECT_TRUE(d.swallow);
    doc.SetCurrentCell(3, 2);
    EXPECT_FALSE(GridKeyRules::isTabOnLastCell(doc, KeyInput{GridKey::Tab}));
}

TEST(GridRules, wheelPreviewsTheCellTheGridMovesToWithinTheDataRows)
{
    ListDocument doc(4, 4);
    doc.SetCurrentCell(2, 1);
    EXPECT_EQ(GridKeyRules::wheel(doc, true).previewCell, std::make_optional(std::make_pair(2, 2)));
    EXPECT_FALSE(GridKeyRules::wheel(doc, false).previewCell.has_value());
    doc.SetCurrentCell(2, 3);
    EXPECT_FALSE(GridKeyRules::wheel(doc, true).previewCell.has_value());
    EXPECT_EQ(GridKeyRules::wheel(doc, false).previewCell, std::make_optional(std::make_pair(2, 2)));
}

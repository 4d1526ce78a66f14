// A parsed UI description (the XML form): templates, control tags, bitmaps, colours and the
// custom attribute sets. It builds a template's view tree for a controller.
#pragma once

#include "iuidescription.h"
#include "uiattributes.h"

#include <memory>
#include <string>

namespace VSTGUI {

class CView;
class IController;

class UIDescription : public IUIDescription
{
public:
	// The name is looked up among the resources first, then taken as a file path.
	explicit UIDescription (const std::string& fileName);
	~UIDescription () override;

	// Descriptions beyond this are not read: a thousand times the editor's own, and the worst
	// of this size (600,000 empty views) still opens in a third of a second and 160 MB.
	static constexpr size_t kMaxFileBytes = size_t (4) << 20;

	// False when the file is not a readable regular file of at most kMaxFileBytes (see
	// readResourceFile), is not well-formed or breaks the format's structure. Called on the UI
	// thread, as the editor is made.
	bool parse ();

	// Null when there is no template of that name.
	const UIAttributes* getTemplateAttributes (const std::string& name) const;
	// A new view tree owned by the caller, or null.
	CView* createView (const std::string& templateName, IController* controller) const;

	CBitmapPtr getBitmap (const std::string& name) const override;
	// A bitmap the description does not list, found and loaded as its bitmaps are; not kept.
	CBitmapPtr loadBitmapFile (const std::string& path) const;
	std::optional<CColor> getColor (const std::string& text) const override;
	int32_t getTagForName (const std::string& name) const override;
	const UIAttributes* getCustomAttributes (const std::string& name) const override;

	// Moves the legacy focus keys of the "VST3Editor" set into "FocusDrawing".
	void migrateLegacyFocusAttributes ();

private:
	struct Impl;
	std::unique_ptr<Impl> impl;
};

} // namespace VSTGUI

#include "embeddededitor.h"
#include "kt3controllerwithui.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "vstgui/plugin-bindings/vst3editor.h"
#if !defined(_WIN32)
#include "vstgui/lib/platform/linux/x11frame.h"
#endif

#include <algorithm>
#include <cmath>

namespace Steinberg {
namespace Vst {
namespace Orvix {

std::unique_ptr<EmbeddedEditor> EmbeddedEditor::create (const MakeHandler& makeHandler,
                                                        HostResizeFrame::AskHost askHost)
{
	std::unique_ptr<EmbeddedEditor> ui (new EmbeddedEditor);
	ui->editController = owned (new KT3ControllerWithUI);
	if (ui->editController->initialize (nullptr) != kResultOk)
		return nullptr;
	ui->handler = makeHandler (*ui->editController);
	ui->editController->setComponentHandler (ui->handler);
	ui->view = owned (ui->editController->createView (ViewType::kEditor));
	ui->editor = dynamic_cast<VSTGUI::VST3Editor*> (ui->view.get ());
	if (!ui->editor)
		return nullptr;
	ui->frame = owned (new HostResizeFrame (std::move (askHost)));
	ui->view->setFrame (ui->frame);
	return ui;
}

std::unique_ptr<EmbeddedEditor> EmbeddedEditor::open (void* parent, FIDString platform,
                                                      const MakeHandler& makeHandler,
                                                      HostResizeFrame::AskHost askHost,
                                                      std::optional<float> scaleFactor)
{
	std::unique_ptr<EmbeddedEditor> ui = create (makeHandler, std::move (askHost));
	if (!ui)
		return nullptr;
	if (scaleFactor)
		ui->setScaleFactor (*scaleFactor);
	return ui->attach (parent, platform) ? std::move (ui) : nullptr;
}

bool EmbeddedEditor::attach (void* parent, FIDString platform)
{
	if (!parent || attached)
		return false;
	attached = view->attached (parent, platform) == kResultTrue;
	return attached;
}

EmbeddedEditor::~EmbeddedEditor ()
{
	if (attached)
		view->removed ();
	view = nullptr;
	frame = nullptr;
	if (editController)
	{
		editController->setComponentHandler (nullptr);
		editController->terminate ();
	}
}

IEditController& EmbeddedEditor::controller () const
{
	return *editController;
}

uint32_t EmbeddedEditor::window () const
{
#if defined(_WIN32)
	return 0;
#else
	const VSTGUI::X11Frame* platformFrame = editor->getPlatformFrame ();
	return platformFrame ? platformFrame->getWindow () : 0;
#endif
}

ViewRect EmbeddedEditor::size () const
{
	ViewRect rect;
	view->getSize (&rect);
	return rect;
}

void EmbeddedEditor::idle ()
{
	if (attached)
		editor->idle ();
}

void EmbeddedEditor::setScaleFactor (float factor)
{
	if (!std::isfinite (factor))
		return;
	scale = std::clamp (factor, 1.f, 4.f);
	if (FUnknownPtr<IPlugViewContentScaleSupport> scaling {view.get ()})
		scaling->setContentScaleFactor (*scale);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg

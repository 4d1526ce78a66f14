// The built module's editor in a real Win32 window, as a Windows host shows it: a child of the
// host's window, served by the host's message loop. It shows what the offscreen render shows
// (at factor 2 what Linux shows), mouse messages edit as the pointer does on Linux, a click
// takes the keyboard focus, and closing it leaves nothing behind.
#include "hostedcontroller.h"
#include "kt3controllerwithui.h"
#include "plugininstance.h"
#include "pluginmodule.h"

#include "public.sdk/source/vst/vst2wrapper/fstinterface.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/platform/win32/win32runloop.h"
#include "vstgui/plugin-bindings/vst3editor.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <iterator>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Kind = kt3host::EditHandler::Kind;

namespace {

constexpr int kWidth = 281;
constexpr int kHeight = 232;
// The Size knob's centre and the credits area, in editor coordinates.
constexpr int kSizeX = 26 + 32, kSizeY = 84 + 32;
constexpr int kCreditsX = 222, kCreditsY = 49;

// Serves this thread's messages (paints and timers included) for that long.
void pump (DWORD milliseconds)
{
	const ULONGLONG end = GetTickCount64 () + milliseconds;
	for (;;)
	{
		MSG message;
		while (PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
		{
			TranslateMessage (&message);
			DispatchMessageW (&message);
		}
		const ULONGLONG now = GetTickCount64 ();
		if (now >= end)
			return;
		MsgWaitForMultipleObjects (0, nullptr, FALSE, static_cast<DWORD> (end - now), QS_ALLINPUT);
	}
}

bool pumpUntil (const std::function<bool ()>& done, DWORD timeoutMs)
{
	for (DWORD waited = 0; !done () && waited < timeoutMs; waited += 10)
		pump (10);
	return done ();
}

// The host's top-level window, with its client area at the editor's size.
class HostWindow
{
public:
	HostWindow ()
	{
		WNDCLASSEXW windowClass {};
		windowClass.cbSize = sizeof (windowClass);
		windowClass.lpfnWndProc = DefWindowProcW;
		windowClass.hInstance = GetModuleHandleW (nullptr);
		windowClass.lpszClassName = kClassName;
		RegisterClassExW (&windowClass);
		window = CreateWindowExW (0, kClassName, L"KT3 host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kWidth,
		                          kHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
	}
	~HostWindow ()
	{
		DestroyWindow (window);
		UnregisterClassW (kClassName, GetModuleHandleW (nullptr));
	}
	HostWindow (const HostWindow&) = delete;
	HostWindow& operator= (const HostWindow&) = delete;

	std::vector<HWND> children () const
	{
		std::vector<HWND> found;
		for (HWND child = FindWindowExW (window, nullptr, nullptr, nullptr); child;
		     child = FindWindowExW (window, child, nullptr, nullptr))
			found.push_back (child);
		return found;
	}

	static constexpr const wchar_t* kClassName = L"KT3TestHost";
	HWND window;
};

// The window's pixels as 0x00RRGGBB, read back through its device context.
std::vector<uint32_t> capture (HWND window, int width = kWidth, int height = kHeight)
{
	HDC windowDC = GetDC (window);
	HDC memoryDC = CreateCompatibleDC (windowDC);
	BITMAPINFO info {};
	info.bmiHeader.biSize = sizeof (info.bmiHeader);
	info.bmiHeader.biWidth = width;
	info.bmiHeader.biHeight = -height;
	info.bmiHeader.biPlanes = 1;
	info.bmiHeader.biBitCount = 32;
	info.bmiHeader.biCompression = BI_RGB;
	void* bits = nullptr;
	HBITMAP bitmap = CreateDIBSection (windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
	HGDIOBJ old = SelectObject (memoryDC, bitmap);
	BitBlt (memoryDC, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
	GdiFlush ();
	const auto* pixels = static_cast<const uint32_t*> (bits);
	std::vector<uint32_t> shown (pixels, pixels + static_cast<size_t> (width) * height);
	for (uint32_t& p : shown)
		p &= 0xffffff;
	SelectObject (memoryDC, old);
	DeleteObject (bitmap);
	DeleteDC (memoryDC);
	ReleaseDC (window, windowDC);
	return shown;
}

// The same editor opened offscreen in this program, which embeds the module's resource script,
// so its editor library reads the same description and bitmaps from the program's resources.
struct OffscreenEditor
{
	OffscreenEditor (double size, double hfDamp, double mix)
	{
		controller.edit->setParamNormalized (0, size);
		controller.edit->setParamNormalized (1, hfDamp);
		controller.edit->setParamNormalized (2, mix);
		view = owned (controller.edit->createView (ViewType::kEditor));
		editor = dynamic_cast<VSTGUI::VST3Editor*> (view.get ());
		if (editor && editor->openOffscreen (&runLoop))
			frame = editor->getFrame ();
	}
	~OffscreenEditor ()
	{
		if (editor)
			editor->close ();
	}
	// Everything painted anew, as 0x00RRGGBB.
	std::vector<uint32_t> render ()
	{
		frame->invalid ();
		VSTGUI::CDrawContext context (buffer);
		frame->drawDirtyRects (context);
		std::vector<uint32_t> pixels = buffer.pixels;
		for (uint32_t& p : pixels)
			p &= 0xffffff;
		return pixels;
	}

	HostedController<Orvix::KT3ControllerWithUI> controller;
	VSTGUI::Win32RunLoop runLoop;
	IPtr<IPlugView> view;
	VSTGUI::VST3Editor* editor {nullptr};
	VSTGUI::CFrame* frame {nullptr};
	VSTGUI::CPixelBuffer buffer {kWidth, kHeight};
};

int differingPixels (const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
	if (a.size () != b.size ())
		return -1;
	int differing = 0;
	for (size_t i = 0; i < a.size (); ++i)
		differing += a[i] != b[i] ? 1 : 0;
	return differing;
}

std::vector<Kind> kinds (const kt3host::EditHandler& handler)
{
	std::vector<Kind> k;
	for (const auto& edit : handler.edits)
		k.push_back (edit.kind);
	return k;
}

LPARAM clientPoint (int x, int y)
{
	return MAKELPARAM (static_cast<WORD> (static_cast<SHORT> (x)), static_cast<WORD> (static_cast<SHORT> (y)));
}

HINSTANCE moduleInstance ()
{
	return GetModuleHandleW (L"KT3.vst3");
}

bool classRegistered (const wchar_t* name)
{
	WNDCLASSEXW info {};
	info.cbSize = sizeof (info);
	return GetClassInfoExW (moduleInstance (), name, &info) != FALSE;
}

// A run loop's message window in this process (other processes' show up in the search too).
bool timerWindowExists ()
{
	for (HWND w = FindWindowExW (HWND_MESSAGE, nullptr, L"KT3EditorTimers", nullptr); w;
	     w = FindWindowExW (HWND_MESSAGE, w, L"KT3EditorTimers", nullptr))
	{
		DWORD process = 0;
		GetWindowThreadProcessId (w, &process);
		if (process == GetCurrentProcessId ())
			return true;
	}
	return false;
}

} // namespace

class WinEditorWindow : public ::testing::Test
{
protected:
	void SetUp () override
	{
		ASSERT_TRUE (module.loaded ()) << module.error ();
		ASSERT_TRUE (plugin.ready ()) << plugin.error ();
		ASSERT_TRUE (host.window);
		open ();
	}
	void TearDown () override { close (); }

	// A Windows host gives the view its window and asks nothing else of the frame.
	void open ()
	{
		view = owned (plugin.controller ()->createView (ViewType::kEditor));
		ASSERT_TRUE (view);
		ASSERT_EQ (view->isPlatformTypeSupported (kPlatformTypeHWND), kResultTrue);
		ASSERT_EQ (view->attached (host.window, kPlatformTypeHWND), kResultTrue);
		ASSERT_EQ (host.children ().size (), 1u);
		editor = host.children ()[0];
		pump (100);
	}
	void close ()
	{
		if (!view)
			return;
		EXPECT_EQ (view->removed (), kResultTrue);
		view = nullptr;
		editor = nullptr;
	}

	void post (UINT message, WPARAM keys, int x, int y)
	{
		PostMessageW (editor, message, keys, clientPoint (x, y));
		pump (20);
	}
	void wheel (int notches, WPARAM keys, int x = kSizeX, int y = kSizeY)
	{
		POINT p {x, y};
		ClientToScreen (editor, &p);
		PostMessageW (editor, WM_MOUSEWHEEL, MAKEWPARAM (keys, notches * WHEEL_DELTA), MAKELPARAM (p.x, p.y));
		pump (20);
	}
	double size () { return plugin.controller ()->getParamNormalized (0); }

	HostWindow host;
	kt3host::PluginModule module {KT3_BUNDLE_PATH};
	kt3host::PluginInstance plugin {module};
	IPtr<IPlugView> view;
	HWND editor {nullptr};
};

TEST_F (WinEditorWindow, IsAChildWindowShowingExactlyTheOffscreenRender)
{
	EXPECT_EQ (view->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID), kResultFalse);
	EXPECT_EQ (view->attached (host.window, kPlatformTypeHWND), kResultFalse); // attached already
	RECT client;
	GetClientRect (editor, &client);
	EXPECT_EQ (client.right, kWidth);
	EXPECT_EQ (client.bottom, kHeight);
	const LONG_PTR style = GetWindowLongPtrW (editor, GWL_STYLE);
	EXPECT_EQ (style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
	           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
	EXPECT_EQ (reinterpret_cast<HINSTANCE> (GetWindowLongPtrW (editor, GWLP_HINSTANCE)), moduleInstance ());

	OffscreenEditor offscreen (size (), plugin.controller ()->getParamNormalized (1),
	                           plugin.controller ()->getParamNormalized (2));
	ASSERT_NE (offscreen.frame, nullptr);
	EXPECT_EQ (differingPixels (capture (editor), offscreen.render ()), 0);

	// A host change repaints just the knob; an area the system invalidates is painted again.
	plugin.controller ()->setParamNormalized (0, 0.2);
	offscreen.controller.edit->setParamNormalized (0, 0.2);
	pump (250);
	EXPECT_EQ (differingPixels (capture (editor), offscreen.render ()), 0);
	const RECT corner {0, 0, 40, 40};
	InvalidateRect (editor, &corner, TRUE);
	pump (50);
	EXPECT_EQ (differingPixels (capture (editor), offscreen.render ()), 0);

	// The credits fade in on the run loop's timers and end as the offscreen editor's do.
	post (WM_LBUTTONDOWN, MK_LBUTTON, kCreditsX, kCreditsY);
	post (WM_LBUTTONUP, 0, kCreditsX, kCreditsY);
	VSTGUI::CPoint p (kCreditsX, kCreditsY);
	offscreen.frame->onMouseDown (p, VSTGUI::kLButton);
	offscreen.frame->onMouseUp (p, VSTGUI::kLButton);
	pump (800);
	const std::vector<uint32_t> credits = offscreen.render ();
	EXPECT_EQ (differingPixels (capture (editor), credits), 0);
	EXPECT_GT (differingPixels (credits, OffscreenEditor (0.2, 0.7, 0.9).render ()), 1000);
}

TEST_F (WinEditorWindow, AtFactorTwoShowsWhatLinuxShowsAndEditsAlike)
{
	FUnknownPtr<IPlugViewContentScaleSupport> scaling (view);
	ASSERT_TRUE (scaling);
	ASSERT_EQ (scaling->setContentScaleFactor (2.f), kResultTrue);
	// No IPlugFrame here: the host makes room itself.
	SetWindowPos (host.window, nullptr, 0, 0, 2 * kWidth, 2 * kHeight, SWP_NOMOVE | SWP_NOZORDER);
	pump (100);
	RECT client;
	GetClientRect (editor, &client);
	EXPECT_EQ (client.right, 2 * kWidth);
	EXPECT_EQ (client.bottom, 2 * kHeight);

	// The Linux editor at factor 2 and the defaults: the committed snapshot (opaque, so its
	// premultiplied pixels are its colours).
	std::ifstream file (KT3_SNAPSHOT_2X, std::ios::binary);
	const std::vector<uint8_t> png ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char> ());
	const VSTGUI::CBitmapPtr linux = VSTGUI::CBitmap::decodePNG (png.data (), png.size ());
	ASSERT_NE (linux, nullptr);
	std::vector<uint32_t> expected;
	for (int y = 0; y < linux->getHeight (); ++y)
		for (int x = 0; x < linux->getWidth (); ++x)
			expected.push_back (linux->getPixel (x, y) & 0xffffff);
	EXPECT_EQ (differingPixels (capture (editor, 2 * kWidth, 2 * kHeight), expected), 0);

	// Straight up from the Size knob's centre, in pixels twice the editor's coordinates: half way.
	post (WM_LBUTTONDOWN, MK_LBUTTON, 2 * kSizeX, 2 * kSizeY);
	post (WM_MOUSEMOVE, MK_LBUTTON, 2 * kSizeX, 2 * (kSizeY - 20));
	post (WM_LBUTTONUP, 0, 2 * kSizeX, 2 * (kSizeY - 20));
	EXPECT_NEAR (size (), 0.5, 1e-6);
}

TEST_F (WinEditorWindow, DragOnTheSizeKnobEditsSize)
{
	plugin.edits ().edits.clear ();
	// From the centre straight up, the last move above the window: the mouse is captured, so
	// coordinates outside (negative here) still arrive and keep the knob at the top, half way.
	SetForegroundWindow (host.window);
	post (WM_LBUTTONDOWN, MK_LBUTTON, kSizeX, kSizeY);
	EXPECT_EQ (GetCapture (), editor);
	// The click takes the keyboard focus, while the host's window is active (another program's
	// window on the shared test display may have taken that).
	if (GetActiveWindow () == host.window)
	{
		EXPECT_EQ (GetFocus (), editor);
	}
	post (WM_MOUSEMOVE, MK_LBUTTON, kSizeX, kSizeY - 20);
	post (WM_MOUSEMOVE, MK_LBUTTON, kSizeX, -30);
	post (WM_LBUTTONUP, 0, kSizeX, -30);
	EXPECT_EQ (GetCapture (), nullptr);

	const auto& edits = plugin.edits ().edits;
	ASSERT_GE (edits.size (), 3u);
	EXPECT_EQ (edits.front ().kind, Kind::Begin);
	EXPECT_EQ (edits.back ().kind, Kind::End);
	for (size_t i = 1; i + 1 < edits.size (); ++i)
	{
		EXPECT_EQ (edits[i].kind, Kind::Perform);
		EXPECT_NEAR (edits[i].value, 0.5, 1e-6);
	}
	for (const auto& edit : edits)
		EXPECT_EQ (edit.id, 0u);
	EXPECT_NEAR (size (), 0.5, 1e-6);

	// Moves without the button edit nothing; neither does the right button.
	plugin.edits ().edits.clear ();
	post (WM_MOUSEMOVE, 0, kSizeX - 30, kSizeY);
	post (WM_RBUTTONDOWN, MK_RBUTTON, kSizeX, kSizeY - 20);
	post (WM_MOUSEMOVE, MK_RBUTTON, kSizeX - 30, kSizeY);
	post (WM_RBUTTONUP, 0, kSizeX - 30, kSizeY);
	EXPECT_TRUE (edits.empty ());
	EXPECT_EQ (GetCapture (), nullptr);
}

TEST_F (WinEditorWindow, LostCaptureEndsTheDrag)
{
	plugin.edits ().edits.clear ();
	post (WM_LBUTTONDOWN, MK_LBUTTON, kSizeX, kSizeY);
	post (WM_MOUSEMOVE, MK_LBUTTON, kSizeX, kSizeY - 20);
	// Another window takes the mouse: the host must not be left inside an edit.
	SetCapture (host.window);
	pump (20);
	ASSERT_FALSE (plugin.edits ().edits.empty ());
	EXPECT_EQ (plugin.edits ().edits.back ().kind, Kind::End);
	const size_t count = plugin.edits ().edits.size ();
	ReleaseCapture ();
	post (WM_MOUSEMOVE, MK_LBUTTON, kSizeX - 30, kSizeY);
	post (WM_LBUTTONUP, 0, kSizeX - 30, kSizeY);
	EXPECT_EQ (plugin.edits ().edits.size (), count);
	EXPECT_NEAR (size (), 0.5, 1e-6);
}

TEST_F (WinEditorWindow, WheelAndModifiersActAsOnLinux)
{
	plugin.edits ().edits.clear ();
	// A notch away from the user steps up a tenth, towards the user with Shift down a hundredth;
	// the edit ends half a second after the last notch, on the run loop's timer.
	wheel (1, 0);
	EXPECT_NEAR (size (), 0.8, 1e-6);
	wheel (-1, MK_SHIFT);
	EXPECT_NEAR (size (), 0.79, 1e-6);
	EXPECT_EQ (kinds (plugin.edits ()), (std::vector<Kind> {Kind::Begin, Kind::Perform, Kind::Perform}));
	EXPECT_TRUE (pumpUntil ([&] { return plugin.edits ().edits.size () == 4; }, 1500));
	EXPECT_EQ (plugin.edits ().edits.back ().kind, Kind::End);
	// Notches outside every knob change nothing.
	wheel (1, 0, 5, 5);
	EXPECT_EQ (plugin.edits ().edits.size (), 4u);

	// Ctrl+click resets to the default with a whole edit, and the release that follows is no drag.
	plugin.edits ().edits.clear ();
	post (WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, kSizeX, kSizeY - 20);
	post (WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, kSizeX - 30, kSizeY);
	post (WM_LBUTTONUP, MK_CONTROL, kSizeX - 30, kSizeY);
	EXPECT_EQ (kinds (plugin.edits ()), (std::vector<Kind> {Kind::Begin, Kind::Perform, Kind::End}));
	EXPECT_NEAR (size (), 0.7, 1e-6);
	EXPECT_EQ (GetCapture (), nullptr);

	// Alt (read from the keyboard state) swaps to linear dragging: 200 pixels for the range.
	BYTE keys[256];
	GetKeyboardState (keys);
	keys[VK_MENU] = 0x80;
	SetKeyboardState (keys);
	post (WM_LBUTTONDOWN, MK_LBUTTON, kSizeX, kSizeY);
	post (WM_MOUSEMOVE, MK_LBUTTON, kSizeX, kSizeY - 20);
	post (WM_LBUTTONUP, 0, kSizeX, kSizeY - 20);
	keys[VK_MENU] = 0;
	SetKeyboardState (keys);
	EXPECT_NEAR (size (), 0.8, 1e-6);
}

TEST_F (WinEditorWindow, OpeningAndClosingLeavesNothingBehind)
{
	close ();
	EXPECT_TRUE (host.children ().empty ());
	EXPECT_FALSE (timerWindowExists ());
	EXPECT_FALSE (classRegistered (L"KT3EditorFrame"));
	EXPECT_FALSE (classRegistered (L"KT3EditorTimers"));
	// Wine counts neither (both stay 0); there the windows and classes tell.
	const DWORD gdiBefore = GetGuiResources (GetCurrentProcess (), GR_GDIOBJECTS);
	const DWORD userBefore = GetGuiResources (GetCurrentProcess (), GR_USEROBJECTS);

	for (int i = 0; i < 50; ++i)
	{
		open ();
		EXPECT_TRUE (timerWindowExists ());
		// Painted, with a drag and a wheel edit still open when it closes.
		post (WM_LBUTTONDOWN, MK_LBUTTON, kSizeX, kSizeY);
		post (WM_MOUSEMOVE, MK_LBUTTON, kSizeX, kSizeY - 20);
		wheel (1, 0, 220, 114);
		close ();
		ASSERT_TRUE (host.children ().empty ()) << "after " << i;
		ASSERT_FALSE (timerWindowExists ()) << "after " << i;
	}
	EXPECT_EQ (GetCapture (), nullptr);
	EXPECT_FALSE (classRegistered (L"KT3EditorFrame"));
	EXPECT_FALSE (classRegistered (L"KT3EditorTimers"));
	EXPECT_EQ (GetGuiResources (GetCurrentProcess (), GR_GDIOBJECTS), gdiBefore);
	EXPECT_EQ (GetGuiResources (GetCurrentProcess (), GR_USEROBJECTS), userBefore);
	// Every edit was ended.
	int open = 0;
	for (const auto& edit : plugin.edits ().edits)
		open += edit.kind == Kind::Begin ? 1 : edit.kind == Kind::End ? -1 : 0;
	EXPECT_EQ (open, 0);
}

TEST_F (WinEditorWindow, TheHostDestroyingItsWindowFirstIsSafe)
{
	DestroyWindow (host.window);
	EXPECT_FALSE (IsWindow (editor));
	close ();
	EXPECT_FALSE (classRegistered (L"KT3EditorFrame"));
	host.window = nullptr;
}

// Windows keeps a DLL's window classes after it is unloaded; the editor's are gone by then, so
// the module loads and shows its editor again.
TEST (WinEditorModule, LoadsAndShowsItsEditorAgainAfterUnloading)
{
	HostWindow host;
	for (int round = 0; round < 3; ++round)
	{
		kt3host::PluginModule module (KT3_BUNDLE_PATH);
		ASSERT_TRUE (module.loaded ()) << module.error ();
		kt3host::PluginInstance plugin (module);
		ASSERT_TRUE (plugin.ready ()) << plugin.error ();
		IPtr<IPlugView> view = owned (plugin.controller ()->createView (ViewType::kEditor));
		ASSERT_EQ (view->attached (host.window, kPlatformTypeHWND), kResultTrue) << "round " << round;
		pump (50);
		ASSERT_EQ (host.children ().size (), 1u);
		OffscreenEditor offscreen (0.7, 0.7, 0.9);
		EXPECT_EQ (differingPixels (capture (host.children ()[0]), offscreen.render ()), 0) << "round " << round;
		EXPECT_EQ (view->removed (), kResultTrue);
	}
}

// A VST 2.4 host on Windows gives effEditOpen its HWND and calls effEditIdle; the same
// window opens, and its timers run without the idle calls.
TEST (WinEditorModule, OpensItsEditorForAVst2Host)
{
	HostWindow host;
	kt3host::PluginModule module (KT3_BUNDLE_PATH);
	ASSERT_TRUE (module.loaded ()) << module.error ();
	using MainProc = AEffect* (*) (audioMasterCallback);
	auto vstMain = reinterpret_cast<MainProc> (module.symbol ("VSTPluginMain"));
	ASSERT_TRUE (vstMain);
	AEffect* effect = vstMain ([] (AEffect*, int opcode, int, VstIntPtr, void*, float) -> VstIntPtr {
		return opcode == audioMasterVersion ? kVstVersion : 0;
	});
	ASSERT_TRUE (effect);
	auto dispatch = [&] (int opcode, void* ptr = nullptr) { return effect->dispatcher (effect, opcode, 0, 0, ptr, 0.f); };
	ASSERT_EQ (dispatch (effEditOpen, host.window), 1);
	dispatch (effEditIdle);
	pump (100);
	ASSERT_EQ (host.children ().size (), 1u);
	OffscreenEditor offscreen (0.7, 0.7, 0.9);
	EXPECT_EQ (differingPixels (capture (host.children ()[0]), offscreen.render ()), 0);
	dispatch (effEditClose);
	EXPECT_TRUE (host.children ().empty ());
	dispatch (effClose);
}

// The run loop alone, in this program: timers through the message loop, safe to unregister
// from inside a callback.
TEST (Win32RunLoop, TimersFireThroughTheMessageLoop)
{
	struct Counter : VSTGUI::ITimerHandler
	{
		std::function<void ()> action;
		int fired {0};
		void onTimer () override
		{
			++fired;
			if (action)
				action ();
		}
	};
	auto loop = std::make_unique<VSTGUI::Win32RunLoop> ();
	ASSERT_TRUE (loop->isValid ());
	Counter steady, once, victim, ender;
	once.action = [&] { loop->unregisterTimer (&once); };
	steady.action = [&] { loop->unregisterTimer (&victim); };
	EXPECT_TRUE (loop->registerTimer (20, &steady));
	EXPECT_TRUE (loop->registerTimer (10, &once));
	EXPECT_TRUE (loop->registerTimer (15, &victim));
	EXPECT_FALSE (loop->registerTimer (10, nullptr));
	EXPECT_FALSE (loop->registerEventHandler (0, nullptr));
	const uint64_t start = loop->getTicks ();
	pump (300);
	EXPECT_GE (loop->getTicks () - start, 300u);
	EXPECT_EQ (once.fired, 1);
	EXPECT_GE (steady.fired, 5);
	EXPECT_LE (victim.fired, 2); // fired, at most, before the first steady tick
	EXPECT_EQ (loop->timerCount (), 1u);

	// A handler may end the run loop itself; its remaining timers go with it.
	ender.action = [&] { loop.reset (); };
	EXPECT_TRUE (loop->registerTimer (10, &ender));
	pump (100);
	EXPECT_EQ (loop, nullptr);
	EXPECT_EQ (ender.fired, 1);
	const int steadyFired = steady.fired;
	pump (100);
	EXPECT_EQ (steady.fired, steadyFired);
	EXPECT_FALSE (timerWindowExists ());
}

#include "vst2editorcheck.h"
#include "referencevst2.h"

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kt3test {

namespace {

int editorCheck (const std::string& path)
{
	void* handle = dlopen (path.c_str (), RTLD_NOW | RTLD_LOCAL);
	if (!handle)
		return 10;
	AEffect* effect = openVst2Effect (dlsym (handle, "VSTPluginMain"));
	if (!effect)
		return 11;
	ERect* rect = nullptr;
	const bool hasEditor = effect->dispatcher (effect, effEditGetRect, 0, 0, &rect, 0.f) == 1 && rect &&
	                       rect->right - rect->left == 281 && rect->bottom - rect->top == 232;
	effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.f);
	return hasEditor ? 0 : 12;
}

} // namespace

int vst2EditorCheckInChild (const std::string& path)
{
	const pid_t child = fork ();
	if (child == 0)
		_exit (editorCheck (path));
	int status = 0;
	waitpid (child, &status, 0);
	return WIFEXITED (status) ? WEXITSTATUS (status) : 100 + WTERMSIG (status);
}

} // namespace kt3test

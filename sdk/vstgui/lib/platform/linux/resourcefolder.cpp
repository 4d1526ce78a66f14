#include "resourcefolder.h"

#include <cstdlib>
#include <dirent.h>
#include <strings.h>

namespace VSTGUI {

namespace {

std::string& resourceFolder ()
{
	static std::string folder;
	return folder;
}

std::string parentPath (const std::string& path)
{
	const auto slash = path.find_last_of ('/');
	if (slash == std::string::npos)
		return ".";
	return slash == 0 ? "/" : path.substr (0, slash);
}

} // namespace

std::string resourceFolderFromModulePath (const std::string& modulePath)
{
	std::string bundle = parentPath (parentPath (parentPath (modulePath)));
	if (char* resolved = realpath (bundle.c_str (), nullptr))
	{
		bundle = resolved;
		free (resolved);
	}
	return bundle + "/Contents/Resources";
}

void setResourceFolder (const std::string& folder)
{
	resourceFolder () = folder;
}

const std::string& getResourceFolder ()
{
	return resourceFolder ();
}

std::string findFileIgnoringCase (const std::string& folder, const std::string& name)
{
	if (folder.empty () || name.empty () || name.find ('/') != std::string::npos)
		return {};
	DIR* dir = opendir (folder.c_str ());
	if (!dir)
		return {};
	std::string match;
	while (dirent* entry = readdir (dir))
	{
		if (strcasecmp (entry->d_name, name.c_str ()) != 0)
			continue;
		match = entry->d_name;
		if (match == name)
			break;
	}
	closedir (dir);
	return match.empty () ? std::string () : folder + "/" + match;
}

std::string findResource (const std::string& name)
{
	return findFileIgnoringCase (getResourceFolder (), name);
}

} // namespace VSTGUI

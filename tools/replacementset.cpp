#include "replacementset.h"

bool ReplacementSet::commit (std::string& error)
{
	for (size_t i = 0; i < files.size (); ++i)
	{
		if (files[i]->swapIn (error))
			continue;
		bool restored = true;
		while (i-- > 0)
			restored = files[i]->undo () && restored;
		if (!restored)
			error += "; an output already written could not be taken back";
		return false;
	}
	for (ReplacementFile* file : files)
		file->settle ();
	return true;
}

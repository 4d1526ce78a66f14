#include "reverbprocessor.h"
#include "busaccess.h"
#include "factorypresets.h"
#include "kt3ids.h"
#include "powerten.h"
#include "reverbparameters.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <cmath>
#include <cstring>
#include <new>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

// Single-precision constants of the coefficient mapping; widened where they meet doubles.
constexpr float kFeedback = 0.8f;
constexpr float kFilterScale = 0.9f;
constexpr float kFilterOffset = 0.05f;
constexpr float kSizeScale = 2.665f;
constexpr float kSizeOffset = 0.025f;
constexpr float kWetScale = 0.8f;

} // namespace

ReverbProcessor::ReverbProcessor ()
{
	setControllerClass (kReverbControllerUID);
	allocateParameters (kReverbParamCount);
}

ReverbProcessor::~ReverbProcessor ()
{
	releaseRings ();
}

tresult PLUGIN_API ReverbProcessor::initialize (FUnknown* context)
{
	const tresult result = BaseProcessor::initialize (context);
	if (result != kResultOk)
		return result;
	try
	{
		addAudioInput (STR16 ("Stereo In"), SpeakerArr::kStereo);
		addAudioOutput (STR16 ("Stereo Out"), SpeakerArr::kStereo);
		for (float*& line : delayLines)
			if (!line)
				line = new float[kRingLength];
	}
	catch (const std::bad_alloc&)
	{
		// The host is told, and gets an object it can still terminate and release.
		releaseRings ();
		removeAudioBusses ();
		return kOutOfMemory;
	}

	for (const ReverbParameter& p : kReverbParameters)
		setParameterValue (p.id, p.defaultNormalized, 0);
	filterState = 0.0f;
	readPos = 0;
	inputSilent = false;
	parametersChanged ();
	return kResultOk;
}

tresult PLUGIN_API ReverbProcessor::terminate ()
{
	releaseRings ();
	return BaseProcessor::terminate ();
}

void ReverbProcessor::releaseRings ()
{
	for (float*& line : delayLines)
	{
		delete[] line;
		line = nullptr;
	}
}

// Main thread. Hosts deactivate and activate to reset a plug-in: activation forgets the last
// take entirely (rings, input low-pass and read position), so that nothing of it sounds again
// and the output is a fresh instance's, bit for bit.
tresult PLUGIN_API ReverbProcessor::setActive (TBool state)
{
	if (state && delayLines[0])
	{
		clearRings ();
		filterState = 0.0f;
		readPos = 0;
		inputSilent = false;
		tapsFinite = true;
	}
	return BaseProcessor::setActive (state);
}

void ReverbProcessor::clearRings ()
{
	for (float* line : delayLines)
		std::memset (line, 0, sizeof (float) * kRingLength);
	linesClean = true;
}

bool ReverbProcessor::readParameterChanges (IParameterChanges* changes)
{
	const bool programChanged = applyProgramChange (changes);
	return BaseProcessor::readParameterChanges (changes) || programChanged;
}

bool ReverbProcessor::applyProgramChange (IParameterChanges* changes)
{
	const int32 queueCount = changes ? changes->getParameterCount () : 0;
	for (int32 q = 0; q < queueCount; ++q)
	{
		IParamValueQueue* queue = changes->getParameterData (q);
		if (!queue || queue->getParameterId () != kPresetsId)
			continue;
		const int32 points = queue->getPointCount ();
		int32 offset = 0;
		ParamValue value = 0;
		if (points <= 0 || queue->getPoint (points - 1, offset, value) != kResultOk ||
		    std::isnan (value))
			return false;
		const FactoryPreset& preset = factoryPreset (presetIndexOf (value));
		for (ParamID id = 0; id < kReverbParamCount; ++id)
			setParameterValue (id, presetNormalized (preset, id), offset);
		reportValues = true;
		return true;
	}
	return false;
}

void ReverbProcessor::parametersChanged ()
{
	const double size = parameterValue (kSizeId);
	const double damp = parameterValue (kHFDampId);
	const double mix = parameterValue (kMixId);
	const double output = parameterValue (kOutputId);

	feedback = kFeedback;
	filterCoeff = static_cast<float> (damp * double (kFilterScale) + double (kFilterOffset));
	const float exponent = static_cast<float> (output * 2.0 - 1.0);
	const float gain = roundedPowerOfTen (exponent);
	dryGain = static_cast<float> (double (gain) - (mix * mix) * double (gain));
	wetGain = static_cast<float> ((mix * double (kWetScale)) * double (gain));

	// A new size factor moves the write taps from the next block on; the stages go on reading
	// what the rings hold, so the reverb follows a turning knob without restarting.
	sizeFactor = static_cast<float> (size * double (kSizeScale) + double (kSizeOffset));
}

void ReverbProcessor::processAudio (ProcessData& data)
{
	if (!delayLines[0])
		return; // not initialised: nothing to run the reverb on
	const int32 n = data.numSamples;
	if (!linesClean)
		clearRings ();

	const Channels io {inputChannel (data, 0, 0), inputChannel (data, 0, 1),
	                   outputChannel (data, 0, 0), outputChannel (data, 0, 1)};
	if (io.inL && io.inR && io.outL && io.outR)
		render (io, n);
	else
		renderWithMissingChannels (io, n);
	applySilenceRule ();
}

void ReverbProcessor::render (const Channels& io, int32 n)
{
	float a = filterState;
	const float coeff = filterCoeff;
	const float wet = wetGain;
	const float dry = dryGain;
	const float fb = feedback;
	int32 r = readPos;
	int32 w[kStageCount];
	for (int32 k = 0; k < kStageCount; ++k)
	{
		const auto delay = static_cast<int32> (sizeFactor * static_cast<float> (kStageLengths[k]));
		w[k] = (r + delay) & kRingMask;
	}
	float* const line0 = delayLines[0];
	float* const line1 = delayLines[1];
	float* const line2 = delayLines[2];
	float* const line3 = delayLines[3];

	float tL = 0.0f;
	float tR = 0.0f;
	for (int32 i = 0; i < n; ++i)
	{
		const float xL = io.inL[i];
		const float xR = io.inR[i];
		a = a + ((xR + xL) * wet - a) * coeff;

		float y = line0[r];
		float v = a - fb * y;
		line0[w[0]] = v;
		float u = v + y;

		y = line1[r];
		v = u - fb * y;
		line1[w[1]] = v;
		u = v + y;

		y = line2[r];
		v = u - fb * y;
		line2[w[2]] = v;
		u = v + y;
		tL = u;

		y = line3[r];
		v = u - fb * y;
		line3[w[3]] = v;
		u = v + y;
		tR = u;

		io.outL[i] = (xL * dry + tL) - a;
		io.outR[i] = (tR + xR * dry) - a;

		r = (r + 1) & kRingMask;
		for (int32& pos : w)
			pos = (pos + 1) & kRingMask;
	}
	filterState = a;
	readPos = r;
	tapsFinite = std::isfinite (tL) && std::isfinite (tR);
}

void ReverbProcessor::renderWithMissingChannels (Channels io, int32 n)
{
	bool allTapsFinite = true;
	for (int32 done = 0; done < n; done += kPieceLength)
	{
		const int32 count = n - done < kPieceLength ? n - done : kPieceLength;
		const Channels piece {io.inL ? io.inL + done : silentPiece,
		                      io.inR ? io.inR + done : silentPiece,
		                      io.outL ? io.outL + done : discardPiece,
		                      io.outR ? io.outR + done : discardPiece};
		render (piece, count);
		allTapsFinite = allTapsFinite && tapsFinite;
	}
	tapsFinite = allTapsFinite;
}

void ReverbProcessor::applySilenceRule ()
{
	const float a = filterState;
	if (!std::isfinite (a) || !tapsFinite)
	{
		// A value that is not a number would otherwise circulate in the rings for good.
		filterState = 0.0f;
		clearRings ();
		tapsFinite = true;
		return;
	}
	if (std::fabs (static_cast<double> (a)) > kSilenceLevel)
	{
		inputSilent = false;
		return;
	}
	filterState = 0.0f;
	// The input has died away, but the rings still ring until every entry has decayed too;
	// only then are they cleared, so that the tail ends below the threshold, not with a cut.
	if (!inputSilent && !ringsHoldTail ())
	{
		inputSilent = true;
		clearRings ();
	}
}

// The last stage is the longest and decays slowest, so it is looked at first: while the tail
// rings, the scan mostly stops at its first entries.
bool ReverbProcessor::ringsHoldTail () const
{
	for (int32 k = kStageCount - 1; k >= 0; --k)
		for (int32 i = 0; i < kRingLength; ++i)
			if (std::fabs (static_cast<double> (delayLines[k][i])) > kSilenceLevel)
				return true;
	return false;
}

uint32 PLUGIN_API ReverbProcessor::getTailSamples ()
{
	return kTailSamples;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg

// ReverbProcessor: the KT3 reverb. A damped mono send into four cascaded feedback stages
// on 1024-sample rings; the left wet signal is tapped after the third stage, the right
// after the fourth.
#pragma once

#include "baseprocessor.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ReverbProcessor : public BaseProcessor
{
public:
	ReverbProcessor ();
	~ReverbProcessor () override;

	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API terminate () SMTG_OVERRIDE;
	tresult PLUGIN_API setActive (TBool state) SMTG_OVERRIDE;
	// Any thread: samples after which the output of any full-scale input that then falls
	// silent has decayed below kSilenceLevel, at the worst setting. The delays are counted in
	// samples, so the figure is the same at every sample rate.
	uint32 PLUGIN_API getTailSamples () SMTG_OVERRIDE;

	static constexpr int32 kRingLength = 1024;
	static constexpr int32 kRingMask = kRingLength - 1;
	static constexpr int32 kStageCount = 4;
	static constexpr int32 kStageLengths[kStageCount] = {107, 142, 277, 379};
	static constexpr double kSilenceLevel = 1e-10;
	// The longest stage (1019 samples at Size 10) loses a factor 0.8 per round, the slowest
	// decay in the path. Bounding the rings by the tail of the impulse response's absolute sum
	// (at Mix 100 % and Output +20 dB, a full-scale stereo input reaches the rings with a gain
	// of 16) puts the last entry above the threshold at 137853 samples for any HF Damp.
	static constexpr uint32 kTailSamples = 140000;

protected:
	void processAudio (ProcessData& data) override;
	// A block's program change sets the four values to the factory preset it selects before the
	// block's other changes apply, so that values the host sends with it win.
	bool readParameterChanges (IParameterChanges* changes) override;
	void parametersChanged () override;

private:
	struct Channels
	{
		const float* inL;
		const float* inR;
		float* outL;
		float* outR;
	};
	// Runs the per-sample path over n samples, carrying the low-pass state and read position.
	void render (const Channels& io, int32 n);
	// Runs the block in short pieces, standing in silence for missing inputs and a discard
	// buffer for missing outputs.
	void renderWithMissingChannels (Channels io, int32 n);
	// At the end of a block: clears the rings once the input and the tail have died away, and
	// resets them if anything in the path stopped being a finite number.
	void applySilenceRule ();
	// Whether any ring entry is still above kSilenceLevel.
	bool ringsHoldTail () const;
	void clearRings ();
	void releaseRings ();
	// Sets the four values of the preset that the last point of the program-change queue
	// selects; true if the block has such a point.
	bool applyProgramChange (IParameterChanges* changes);

	float* delayLines[kStageCount] = {};
	float filterState = 0.0f;
	float feedback = 0.8f;
	float filterCoeff = 0.0f;
	float wetGain = 0.0f;
	float dryGain = 0.0f;
	float sizeFactor = 0.0f;
	int32 readPos = 0;
	bool inputSilent = false;
	bool linesClean = false;
	bool tapsFinite = true; // the last sample's wet taps were finite numbers

	static constexpr int32 kPieceLength = 64;
	float silentPiece[kPieceLength] = {};
	float discardPiece[kPieceLength] = {};
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg

// The processor as a host first meets it: buses, class IDs, setup, activation message.
#include "directprocessor.h"
#include "kt3ids.h"
#include "messagerecorder.h"
#include "statebytes.h"
#include "text16.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace kt3host;

TEST (ProcessorBasics, PublishesOneStereoBusEachWayAndNamesTheEditorController)
{
	DirectProcessor p;
	IComponent* c = p.component ();
	ASSERT_EQ (c->getBusCount (kAudio, kInput), 1);
	ASSERT_EQ (c->getBusCount (kAudio, kOutput), 1);
	EXPECT_EQ (c->getBusCount (kEvent, kInput), 0);

	BusInfo info {};
	ASSERT_EQ (c->getBusInfo (kAudio, kInput, 0, info), kResultOk);
	EXPECT_EQ (toAscii (info.name), "Stereo In");
	EXPECT_EQ (info.channelCount, 2);
	EXPECT_EQ (info.busType, kMain);
	EXPECT_EQ (info.flags, uint32 (BusInfo::kDefaultActive));
	ASSERT_EQ (c->getBusInfo (kAudio, kOutput, 0, info), kResultOk);
	EXPECT_EQ (toAscii (info.name), "Stereo Out");

	TUID cid;
	ASSERT_EQ (c->getControllerClassId (cid), kResultOk);
	EXPECT_EQ (FUID::fromTUID (cid), Orvix::kKT3ControllerUID);
}

TEST (ProcessorBasics, PlainReverbProcessorNamesItsOwnControllerClass)
{
	auto reverb = owned (new Orvix::ReverbProcessor);
	TUID cid;
	ASSERT_EQ (reverb->getControllerClassId (cid), kResultOk);
	EXPECT_EQ (FUID::fromTUID (cid), Orvix::kReverbControllerUID);
	EXPECT_NE (FUID::fromTUID (cid), Orvix::kKT3ControllerUID);
}

TEST (ProcessorBasics, ProcessingProperties)
{
	DirectProcessor p;
	IAudioProcessor* a = p.processor ();
	EXPECT_EQ (a->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (a->canProcessSampleSize (kSample64), kResultFalse);
	EXPECT_EQ (a->getLatencySamples (), 0u);
	EXPECT_EQ (a->getTailSamples (), Orvix::ReverbProcessor::kTailSamples);

	SpeakerArrangement arr = 0;
	EXPECT_EQ (a->getBusArrangement (kInput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, SpeakerArr::kStereo);
	EXPECT_EQ (a->getBusArrangement (kOutput, 1, arr), kInvalidArgument);

	FUnknownPtr<IProcessContextRequirements> requirements (a);
	ASSERT_TRUE (requirements);
	EXPECT_EQ (requirements->getProcessContextRequirements (), 0u);

	ProcessSetup setup64 {kRealtime, kSample64, 512, 48000};
	EXPECT_EQ (a->setupProcessing (setup64), kResultFalse);
}

TEST (ProcessorBasics, BusArrangementsAreValidatedNotStored)
{
	DirectProcessor p;
	IAudioProcessor* a = p.processor ();
	SpeakerArrangement stereo = SpeakerArr::kStereo;
	SpeakerArrangement mono = SpeakerArr::kMono;
	SpeakerArrangement surround = SpeakerArr::k51;
	SpeakerArrangement empty = SpeakerArr::kEmpty;
	EXPECT_EQ (a->setBusArrangements (&stereo, 1, &stereo, 1), kResultTrue);
	EXPECT_EQ (a->setBusArrangements (nullptr, 0, nullptr, 0), kResultTrue);
	EXPECT_EQ (a->setBusArrangements (&mono, 1, &stereo, 1), kResultFalse);
	EXPECT_EQ (a->setBusArrangements (&stereo, 1, &surround, 1), kResultFalse);
	EXPECT_EQ (a->setBusArrangements (&empty, 1, &stereo, 1), kResultFalse);
	EXPECT_EQ (a->setBusArrangements (nullptr, 1, &stereo, 1), kInvalidArgument);

	SpeakerArrangement arr = 0;
	a->getBusArrangement (kOutput, 0, arr);
	EXPECT_EQ (arr, SpeakerArr::kStereo);
}

TEST (ProcessorBasics, ActivationSendsTheSampleRateOfTheCurrentSetup)
{
	auto recorder = owned (new MessageRecorder);
	{
		DirectProcessor p ({48000.0, 512, false});
		p.connect (recorder);
		p.component ()->setActive (true);
		p.component ()->setActive (false);
		ASSERT_EQ (recorder->messages.size (), 1u) << "deactivation sends nothing";
		EXPECT_EQ (recorder->messages[0].id, "activated");
		EXPECT_TRUE (recorder->messages[0].hasSampleRate);
		EXPECT_EQ (recorder->messages[0].sampleRate, 48000.0);
	}

	// Without setupProcessing the default setup's rate is reported.
	HostApplication host;
	auto raw = owned (new Orvix::KT3ProcessorWithUIController);
	auto fresh = owned (new MessageRecorder);
	raw->initialize (static_cast<IHostApplication*> (&host));
	raw->connect (fresh);
	raw->setActive (true);
	ASSERT_EQ (fresh->messages.size (), 1u);
	EXPECT_EQ (fresh->messages[0].sampleRate, 44100.0);
	raw->setActive (false);
	raw->disconnect (fresh);
	raw->terminate ();
}

TEST (ProcessorBasics, ActivationWithoutHostOrPeerSendsNothingAndSucceeds)
{
	// No host to allocate a message: a connected peer hears nothing.
	auto recorder = owned (new MessageRecorder);
	auto hostless = owned (new Orvix::KT3ProcessorWithUIController);
	ASSERT_EQ (hostless->initialize (nullptr), kResultOk);
	hostless->connect (recorder);
	EXPECT_EQ (hostless->setActive (true), kResultOk);
	EXPECT_EQ (hostless->setActive (false), kResultOk);
	EXPECT_TRUE (recorder->messages.empty ());
	hostless->disconnect (recorder);
	hostless->terminate ();

	// A host but no peer: the message is dropped, not kept for a peer that connects later.
	DirectProcessor unconnected ({48000.0, 512, false});
	EXPECT_EQ (unconnected.component ()->setActive (true), kResultOk);
	EXPECT_EQ (unconnected.component ()->setActive (false), kResultOk);
	unconnected.connect (recorder);
	EXPECT_TRUE (recorder->messages.empty ());
	unconnected.component ()->setActive (true);
	EXPECT_EQ (recorder->messages.size (), 1u);
	unconnected.component ()->setActive (false);
}

TEST (ProcessorBasics, SecondInitializeFailsAndAddsNothing)
{
	DirectProcessor p;
	HostApplication host;
	EXPECT_NE (p.component ()->initialize (static_cast<IHostApplication*> (&host)), kResultOk);
	EXPECT_EQ (p.component ()->getBusCount (kAudio, kInput), 1);
}

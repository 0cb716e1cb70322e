// The host functions as a plug-in calls them: one bridge function per FX_
// function of fxfunctions.h, same name, same arguments, linked statically
// into the plug-in and hidden there.
//
// Before the first FX_ call, the plug-in's main must call InitializeGlobals
// (hostbinding.h). Each bridge function looks its host function up once, on
// its first call, and keeps the answer for the life of the process: a
// function called before InitializeGlobals, or one that the host does not
// export, answers 0 (null, nothing) from then on and calls nothing.
//
// What the bridge adds to the host's own behaviour:
// - FX_LoadEData, FX_SaveEData, FX_CreateEData, FX_NextEData and
//   FX_PreviousEData pass the version word of the layout that the structure
//   size names (HandleVeltraVersion, versionadjust.h).
// - FX_LoadEData answers false for a null size pointer; makes up for host
//   loaders that leave articulation and fret-instrument definitions partly
//   filled; reports staff system data as present with default contents when
//   only its other record exists; and, with FX_SaveEData, emulates the
//   preference records of prefemulation.h (a null buffer asks for the size).
//   FX_SaveEData with a version word of 0x07FFFFFF or lower goes straight to
//   the host.
// - FX_SaveTGF, FX_InsertEXENTRY and FX_DeleteEXENTRY normalise the frame
//   first (CleanTGF, cleantgf.h).
// - FX_LoadTGF / FX_FreeTGF, FX_StartTonaroEdit(_UTF16) / FX_EndTonaroEdit /
//   FX_CancelTonaroEdit and FX_StartMassEdit / FX_EndMassEdit keep the
//   counters of editcounters.h. FX_EndTonaroEdit with no open session
//   answers true and FX_CancelTonaroEdit does nothing, without reaching the
//   host.
#pragma once

#include "tonaropdk/bridge/hostbinding.h"
#include "tonaropdk/hostapi/fxfunctions.h"

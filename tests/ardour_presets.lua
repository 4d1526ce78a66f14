-- KT3 in Ardour (ardour7-lua, Dummy backend): choose the factory preset "Warm Hall" as the
-- preset menu does, save the session, close it, reopen it and check the parameters again.
-- Arguments: VST3 or VST2, a session folder that does not exist yet, and the number of
-- process cycles to let run between choosing the preset and saving (0: save at once).
-- Prints "RESULT PASS" or "RESULT FAIL"; a Lua error ends the script without either.
io.stdout:setvbuf("no")
local kind, dir, cycles = arg[1], arg[2], tonumber(arg[3] or "0")
local ptype = kind == "VST3" and ARDOUR.PluginType.VST3 or ARDOUR.PluginType.LXVST

-- Warm Hall in plain units; Ardour shows VST 3 parameters plain and VST 2 ones normalised.
local expected = {
  {name = "Size", value = 8.5, min = 0, max = 10},
  {name = "HF Damp", value = 35, min = 0, max = 100},
  {name = "Mix", value = 70, min = 0, max = 100},
  {name = "Output", value = 1, min = -20, max = 20},
}

local function kt3_insert(session)
  local route = session:route_by_name("Reverb")
  assert(not route:isnil(), "no track")
  local insert = route:nth_plugin(0):to_insert()
  assert(not insert:isnil(), "no plug-in on the track")
  return insert
end

-- True when every parameter has the preset's value (parameter 0 is Bypass).
local function check(insert, when)
  local plugin, good = insert:plugin(0), true
  for i, e in ipairs(expected) do
    local value = ARDOUR.LuaAPI.get_plugin_insert_param(insert, i, true)
    if kind ~= "VST3" then value = e.min + value * (e.max - e.min) end
    local label = plugin:parameter_label(i)
    print(string.format("%s %s: %s = %.4f (want %s)", kind, when, label, value, e.value))
    good = good and label == e.name and math.abs(value - e.value) < 1e-3 * (e.max - e.min)
  end
  return good
end

assert(AudioEngine:set_backend("None (Dummy)", "", ""), "no Dummy backend")
assert(AudioEngine:start(false) == 0, "engine did not start")
local session = create_session(dir, "kt3", 48000)
assert(session, "no session")
local track = session:new_audio_track(2, 2, nil, 1, "Reverb", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true, false):front()
local proc = ARDOUR.LuaAPI.new_plugin(session, "KT3", ptype, "")
assert(not proc:isnil(), "KT3 not found")
assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "plug-in not added")
local plugin = proc:to_insert():plugin(0)
-- The factory presets as the preset menu lists them (PluginInfo lists only VST 3 preset files).
local scheme = kind == "VST3" and "VST3-P:" or "VST:"
for i = 0, 99 do
  local listed = plugin:preset_by_uri(string.format("%s%s:%04d", scheme, plugin:unique_id(), i))
  if not listed then break end
  print(kind .. " preset: " .. listed.label)
end

local preset = plugin:preset_by_label("Warm Hall")
assert(preset, "no preset Warm Hall")
print(kind .. " choosing " .. preset.uri)
assert(plugin:load_preset(preset), "load_preset failed")
print(kind .. " chosen")
local function save()
  assert(session:save_state("", false, false, false, false, false) == 0, "save failed")
end
if cycles == 0 then save() end -- before any block has run
-- The host's own copy of the values follows within a few blocks.
assert(ARDOUR.LuaAPI.wait_for_process_callback(math.max(cycles, 4), 2000), "no process cycles")
local chosen = check(proc:to_insert(), "chosen")
if cycles > 0 then save() end
close_session()
session = load_session(dir, "kt3")
assert(session, "session did not reopen")
local reopened = check(kt3_insert(session), "reopened")
close_session()
print("RESULT " .. ((chosen and reopened) and "PASS" or "FAIL"))

-- Driven by ardour.sh through ardour7-lua (headless Ardour on its dummy backend).
--   create DIR STEREO_SETTINGS MONO_SETTINGS SECONDS
--       a session with a stereo and a mono track, Korvalite on each at the given settings
--       ("index=value,..."), a take of SECONDS recorded on both, and the snapshots "stereo"
--       and "mono" that each mute the other track, so an export of one holds one track
--   reload DIR STEREO_SETTINGS MONO_SETTINGS
--       the saved session loaded again: each instance has its settings back
--   resave DIR SNAPSHOT
--       the snapshot loaded, run and saved again: Ardour stores each plug-in's state as the
--       plug-in now gives it
-- Lines starting "fact" are read by ardour.sh; an error ends the run with a non-zero status.

local mode, dir, settings, seconds = arg[1], arg[2], { stereo = arg[3], mono = arg[4] }, tonumber(arg[5])
local rate = 44100

local function say(...)
  print(...)
  io.stdout:flush()
end

local function parse(text)
  local t = {}
  for i, v in text:gmatch("(%d+)=([%d.]+)") do
    t[tonumber(i)] = tonumber(v)
  end
  return t
end

local function korvalite(track)
  local proc = track:nth_plugin(0)
  assert(not proc:isnil(), track:name() .. ": no plug-in on the track")
  return proc
end

AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_sample_rate(rate)
assert(AudioEngine:start(false) == 0, "the dummy backend did not start")

if mode == "create" then
  local s = create_session(dir, "s", rate)
  assert(s, "no session")
  local tracks = {}
  for _, layout in ipairs({ { "stereo", 2 }, { "mono", 1 } }) do
    local name, inputs = layout[1], layout[2]
    local track = s:new_audio_track(inputs, 2, nil, 1, name, ARDOUR.PresentationInfo.max_order,
      ARDOUR.TrackMode.Normal, true):front()
    local proc = ARDOUR.LuaAPI.new_plugin(s, "Korvalite", ARDOUR.PluginType.LXVST, "")
    assert(not proc:isnil(), "Ardour did not find Korvalite")
    assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "Korvalite could not be added to " .. name)
    local insert = proc:to_insert()
    local plugin = insert:plugin(0)
    -- What a user sees in the generic controls and the preset list.
    local names = {}
    for i = 0, plugin:parameter_count() - 1 do
      local _, d = plugin:get_parameter_descriptor(i, ARDOUR.ParameterDescriptor())
      names[#names + 1] = d[2].label
    end
    say("fact " .. name .. " parameters " .. plugin:parameter_count() .. " names " .. table.concat(names, "|"))
    local programs = 0
    while plugin:preset_by_uri(string.format("VST:%s:%04d", plugin:unique_id(), programs)) do
      programs = programs + 1
    end
    say("fact " .. name .. " programs " .. programs)
    say("fact " .. name .. " latency " .. insert:signal_latency() .. " pins " .. insert:input_streams():n_audio() ..
      "/" .. insert:output_streams():n_audio())
    for i, v in pairs(parse(settings[name])) do
      assert(ARDOUR.LuaAPI.set_processor_param(proc, i, v), "parameter " .. i .. " refused")
    end
    ARDOUR.LuaAPI.wait_for_process_callback(2, 5)
    track:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
    tracks[name] = track
  end

  -- The take's files are replaced by ardour.sh afterwards; the region's automatic fades
  -- would otherwise shape the start and end of what the plug-in hears.
  s:maybe_enable_record(false)
  s:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
  local deadline = ARDOUR.LuaAPI.monotonic_time() + (seconds + 30) * 1e6
  while s:transport_sample() < seconds * rate do
    assert(ARDOUR.LuaAPI.monotonic_time() < deadline, "the transport does not advance")
    ARDOUR.LuaAPI.usleep(10000)
  end
  s:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
  while s:transport_rolling() do
    ARDOUR.LuaAPI.usleep(10000)
  end
  -- The take becomes a region once the butler has finished writing it, a moment after the stop.
  for name, track in pairs(tracks) do
    local regions = track:playlist():region_list()
    while regions:size() == 0 do
      assert(ARDOUR.LuaAPI.monotonic_time() < deadline, name .. ": no take was recorded")
      ARDOUR.LuaAPI.usleep(10000)
      regions = track:playlist():region_list()
    end
    assert(regions:size() == 1, name .. ": " .. regions:size() .. " takes recorded")
    track:rec_enable_control():set_value(0, PBD.GroupControlDisposition.NoGroup)
    for r in regions:iter() do
      local region = r:to_audioregion()
      region:set_fade_in_active(false)
      region:set_fade_out_active(false)
      say("fact " .. name .. " take " .. r:position():samples() .. " " .. r:length():samples())
    end
  end
  assert(s:save_state("", false, false, false, false, false) == 0, "the session was not saved")
  for _, solo in ipairs({ "stereo", "mono" }) do
    for name, track in pairs(tracks) do
      track:mute_control():set_value(name == solo and 0 or 1, PBD.GroupControlDisposition.NoGroup)
    end
    -- Controls change in the process thread: saved before it ran, the snapshot misses them.
    for name, track in pairs(tracks) do
      while track:mute_control():muted() ~= (name ~= solo) do
        assert(ARDOUR.LuaAPI.monotonic_time() < deadline, name .. ": the mute does not take")
        ARDOUR.LuaAPI.usleep(10000)
      end
    end
    assert(s:save_state(solo, false, false, false, false, false) == 0, "snapshot " .. solo .. " not saved")
  end
elseif mode == "reload" then
  local s = load_session(dir, "s")
  assert(s, "the saved session does not load")
  for _, name in ipairs({ "stereo", "mono" }) do
    local track = s:route_by_name(name):to_track()
    assert(not track:isnil(), "track " .. name .. " missing after reload")
    local proc = korvalite(track)
    for i, v in pairs(parse(settings[name])) do
      local now = ARDOUR.LuaAPI.get_processor_param(proc, i)
      assert(math.abs(now - v) < 1e-6, string.format("%s: parameter %d came back as %g, not %g", name, i, now, v))
    end
    say("fact " .. name .. " reloaded " .. settings[name])
  end
elseif mode == "resave" then
  local s = load_session(dir, arg[3])
  assert(s, "the snapshot " .. arg[3] .. " does not load")
  ARDOUR.LuaAPI.wait_for_process_callback(2, 5)
  local cab = ARDOUR.LuaAPI.get_processor_param(korvalite(s:route_by_name("stereo"):to_track()), 11)
  assert(s:save_state("", false, false, false, false, false) == 0, "the snapshot was not saved again")
  say("fact stereo resaved cab " .. cab)
else
  error("mode must be create, reload or resave")
end
close_session()

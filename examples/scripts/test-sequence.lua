-- A test sequence with a verdict: asks a modem for its identity and its signal, checks each
-- answer, logs PASS or FAIL. Run by vrl-capture --script, its exit status is 0 when every
-- check passed and 1 otherwise. Set PORT to the device's port.

local PORT = "COM1"
local p = vrl.port(PORT)
local passed = true

-- Sends command and waits for the answer's pattern; ERROR or silence fails the step.
local function step(name, command, pattern)
  p:send(command .. "\r")
  local got, why = p:expect{pattern = pattern, fail = "ERROR", timeout = 1000}
  passed = vrl.check(got ~= nil, name .. ": " .. tostring(why)) and passed
  return got
end

step("the modem answers", "AT", "OK\r\n")
local identity = step("identity", "ATI", "\r\n([^\r\n]+)\r\nOK\r\n")
local signal = step("signal", "AT+CSQ", "%+CSQ: (%d+),")
if signal then
  passed = vrl.check(tonumber(signal) >= 10, "signal too weak: " .. signal) and passed
end
vrl.log((passed and "PASS" or "FAIL") .. " " .. tostring(identity))

-- A line-oriented device: answers AT commands with OK, their information and OK, or ERROR.
-- A command ends at CR or LF; commands are read without regard to case. Set PORT to the
-- port the other side is on.

local PORT = "COM1"

local answers = {
  ["AT"] = "OK",
  ["ATZ"] = "OK",
  ["ATE0"] = "OK",
  ["ATI"] = "VRL simulated modem\r\nOK",
  ["AT+GMR"] = "1.0.0\r\nOK",
  ["AT+CSQ"] = "+CSQ: 23,99\r\nOK",
}

local p = vrl.port(PORT)
local line = ""

p:on_message(function(m)
  line = line .. m.bytes
  while true do
    local command, rest = line:match("^([^\r\n]*)[\r\n](.*)$")
    if not command then
      break
    end
    line = rest
    if command ~= "" then
      local reply = answers[command:upper()] or "ERROR"
      p:send("\r\n" .. reply .. "\r\n")
    end
  end
  if #line > 1024 then -- no line end in sight: not a command
    line = ""
  end
end)

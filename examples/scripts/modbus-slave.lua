-- A MODBUS RTU slave: address 1, holding and input registers 0 to 99 that start at 0 and keep
-- what is written. Functions 3 and 4 read, 6 and 16 write holding registers; an address
-- beyond the map answers exception 2, another function exception 1. Writes to address 0
-- (broadcast) are carried out without an answer.
--
-- Set PORT to the port the master is on. A request is gathered until its check code is
-- right, so that one split over two messages is still answered.

local PORT = "COM1"
local SLAVE = 1
local COUNT = 100

local holding, input = {}, {}
for i = 0, COUNT - 1 do
  holding[i], input[i] = 0, 0
end

local p = vrl.port(PORT)

local function u16(s, i)
  return (s:byte(i) << 8) | s:byte(i + 1)
end

local function word(v)
  return string.char(v >> 8, v & 0xFF)
end

local function answer(body, broadcast)
  if not broadcast then
    p:send(body, {check = "crc16_modbus"})
  end
end

local function exception(fn, code, broadcast)
  answer(string.char(SLAVE, fn | 0x80, code), broadcast)
end

-- frame: the request without its check code.
local function handle(frame)
  local slave, fn = frame:byte(1), frame:byte(2)
  local broadcast = slave == 0
  if slave ~= SLAVE and not broadcast then
    return
  end
  if fn == 3 or fn == 4 then
    if broadcast then
      return
    end
    if #frame ~= 6 then
      return exception(fn, 3)
    end
    local address, quantity = u16(frame, 3), u16(frame, 5)
    if quantity < 1 or quantity > 125 then
      return exception(fn, 3)
    end
    if address + quantity > COUNT then
      return exception(fn, 2)
    end
    local map = fn == 3 and holding or input
    local out = {string.char(SLAVE, fn, quantity * 2)}
    for a = address, address + quantity - 1 do
      out[#out + 1] = word(map[a])
    end
    answer(table.concat(out))
  elseif fn == 6 then
    if #frame ~= 6 then
      return exception(fn, 3, broadcast)
    end
    local address = u16(frame, 3)
    if address >= COUNT then
      return exception(fn, 2, broadcast)
    end
    holding[address] = u16(frame, 5)
    answer(frame, broadcast) -- the echo of the request
  elseif fn == 16 then
    local address, quantity, bytes = u16(frame, 3), u16(frame, 5), frame:byte(7)
    if #frame ~= 7 + bytes or bytes ~= quantity * 2 or quantity < 1 or quantity > 123 then
      return exception(fn, 3, broadcast)
    end
    if address + quantity > COUNT then
      return exception(fn, 2, broadcast)
    end
    for i = 0, quantity - 1 do
      holding[address + i] = u16(frame, 8 + 2 * i)
    end
    answer(string.char(SLAVE, fn) .. word(address) .. word(quantity), broadcast)
  else
    exception(fn, 1, broadcast)
  end
end

local pending, last = "", 0
p:on_message(function(m)
  -- A frame begins after silence; what waited longer is a broken request.
  if m.time - last > 0.1 then
    pending = ""
  end
  last = m.time
  pending = pending .. m.bytes
  if #pending > 256 then
    pending = ""
    return
  end
  local n = #pending
  if n >= 4 and vrl.crc16_modbus(pending:sub(1, n - 2)) == pending:byte(n - 1) | (pending:byte(n) << 8) then
    local frame = pending:sub(1, n - 2)
    pending = ""
    handle(frame)
  end
end)

vrl.log("MODBUS slave " .. SLAVE .. " on " .. PORT .. ": registers 0-" .. (COUNT - 1))

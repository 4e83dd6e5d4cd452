#!/usr/bin/env python3
"""Forwards TCP connections from 127.0.0.1:LISTEN to 127.0.0.1:TARGET, holding every chunk
DELAY_MS milliseconds in each direction: a link with a round trip of twice that (the kernel
here has no netem). Prints the port it listens on, then serves until killed.
Usage: delay_proxy.py TARGET_PORT DELAY_MS"""
import asyncio
import sys


async def pump(reader, writer, delay):
    queue = asyncio.Queue()

    async def send():
        loop = asyncio.get_running_loop()
        while True:
            due, data = await queue.get()
            if data is None:
                break
            wait = due - loop.time()
            if wait > 0:
                await asyncio.sleep(wait)
            writer.write(data)
            await writer.drain()
        writer.close()

    sender = asyncio.create_task(send())
    loop = asyncio.get_running_loop()
    try:
        while True:
            data = await reader.read(1 << 16)
            if not data:
                break
            queue.put_nowait((loop.time() + delay, data))
    except ConnectionError:
        pass
    queue.put_nowait((0, None))
    await sender


async def main():
    target, delay = int(sys.argv[1]), float(sys.argv[2]) / 1000

    async def serve(client_reader, client_writer):
        try:
            server_reader, server_writer = await asyncio.open_connection("127.0.0.1", target)
        except OSError:
            client_writer.close()
            return
        await asyncio.gather(pump(client_reader, server_writer, delay),
                             pump(server_reader, client_writer, delay),
                             return_exceptions=True)

    server = await asyncio.start_server(serve, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


asyncio.run(main())

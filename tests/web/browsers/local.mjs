// What the check needs on this machine: free ports, and a process to answer before it is used.
import {createServer} from 'node:net';
import {setTimeout as delay} from 'node:timers/promises';

export function freePort() {
  return new Promise((resolve) => {
    const server = createServer().listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
}

export async function untilAnswers(url, timeoutMs) {
  for (const end = Date.now() + timeoutMs; Date.now() < end; await delay(50))
    if (await fetch(url).then((r) => r.ok, () => false)) return;
  throw new Error(`${url} did not answer within ${timeoutMs} ms`);
}

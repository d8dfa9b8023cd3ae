// The clock's face, kept up to date over a WebSocket from the program. Read
// only, but for the director's phone, whose address holds the secret that
// lets its presses of Pause and Resume through. It tells a lost clock from a paused one by
// the program's heartbeat, and finds the program again by itself.
'use strict';

(() => {
    const SilenceMs = 5000; // the program speaks at least every 2 s
    const FirstRetryMs = 500;
    const LastRetryMs = 8000;

    const face = document.getElementById('face');
    const status = document.getElementById('status');
    const awake = document.getElementById('awake');
    const controls = new Map();
    let line = null;

    // The clock's design, sent before its first face: each label's box in
    // twips, its font and its row on an upright phone.
    function build(design) {
        const share = (value, whole) => `${(100 * value) / whole}%`;
        const place = (element, box) => {
            element.style.setProperty('--left', share(box.left, design.width));
            element.style.setProperty('--top', share(box.top, design.height));
            element.style.setProperty('--row', String(box.stackRow));
        };
        face.replaceChildren();
        controls.clear();
        face.style.setProperty('--dw', String(design.width));
        face.style.setProperty('--dh', String(design.height));
        for (const label of design.labels || []) {
            const element = document.createElement('div');
            element.className = 'control';
            element.classList.toggle('fit', label.centred);
            element.classList.toggle('italic', label.italic);
            element.dataset.name = label.name;
            place(element, label);
            if (label.centred)
                element.style.setProperty('--w', share(label.width, design.width));
            element.style.setProperty('--pt', String(label.points));
            element.style.setProperty('--size', String(label.stackSize));
            controls.set(label.name, element);
            face.append(element);
        }
        line = document.createElement('div');
        line.id = 'line';
        place(line, design.line);
        line.style.setProperty('--w', share(design.line.width, design.width));
        line.style.setProperty('--px', String(design.line.pixels));
        face.append(line);
    }

    // The secret travels in the fragment, which the browser never sends; the
    // page sends it with each press, over its WebSocket only.
    const key = new URLSearchParams(location.hash.slice(1)).get('key') || '';
    const remote = document.getElementById('remote');
    const remoteStatus = document.getElementById('remoteStatus');
    const buttons = [document.getElementById('pause'), document.getElementById('resume')];
    let controlling = key !== '';

    const messages = {
        connecting: 'Connecting to the clock\u2026',
        lost: 'The clock cannot be reached. Trying again\u2026',
        off: 'The clock is no longer shared.',
    };

    // A long text shrinks until it fits its place, as on the clock, in the
    // middle of the line it had.
    function fit(element) {
        element.style.fontSize = element.style.lineHeight = '';
        if (!element.classList.contains('fit') || element.scrollWidth <= element.clientWidth)
            return;
        const style = getComputedStyle(element);
        element.style.lineHeight = style.lineHeight;
        element.style.fontSize = `${(parseFloat(style.fontSize) * element.clientWidth) / element.scrollWidth}px`;
    }

    function render(state) {
        for (const [name, control] of Object.entries(state.controls || {})) {
            const element = controls.get(name);
            if (!element)
                continue;
            if (element.textContent !== control.text) {
                element.textContent = control.text;
                fit(element);
            }
            element.style.color = control.color;
            element.style.visibility = control.visible ? 'visible' : 'hidden';
        }
        if (line)
            line.style.visibility = state.ended ? 'hidden' : 'visible';
        if (controlling) {
            // What the clock shows, not what was pressed.
            remoteStatus.textContent = state.ended ? 'The tournament has ended.'
                : state.paused ? 'The clock is paused.' : 'The clock is running.';
            remote.dataset.paused = state.paused ? 'true' : 'false';
        }
    }

    // {"control": false} when the director stopped phone control or the
    // secret was refused; {"control": true} when a press was taken.
    function heardControl(answer) {
        if (answer.control !== false || !key)
            return;
        controlling = false;
        remote.dataset.control = 'off';
        for (const button of buttons)
            button.disabled = true;
        remoteStatus.textContent = 'This phone no longer controls the clock.';
    }

    function press(action) {
        if (controlling && socket && socket.readyState === WebSocket.OPEN)
            socket.send(JSON.stringify({ action, key }));
    }

    function show(state) {
        document.body.dataset.state = state;
        status.textContent = messages[state] || '';
    }

    let socket = null;
    let silence = 0;
    let retry = 0;
    let retryMs = FirstRetryMs;
    let shared = true; // false once the program said it stopped sharing

    function drop() {
        clearTimeout(silence);
        if (socket) {
            socket.onmessage = socket.onclose = socket.onerror = null;
            socket.close();
            socket = null;
        }
    }

    // Lost or turned off: say so at once, then try again, less and less often.
    function lost() {
        drop();
        show(shared ? 'lost' : 'off');
        clearTimeout(retry);
        retry = setTimeout(connect, retryMs);
        retryMs = Math.min(retryMs * 2, LastRetryMs);
    }

    function heard(event) {
        clearTimeout(silence);
        silence = setTimeout(lost, SilenceMs);
        let state;
        try {
            state = JSON.parse(event.data);
        } catch {
            return;
        }
        if ('design' in state) {
            build(state.design);
            return;
        }
        if ('sound' in state || 'say' in state) {
            announce(state);
            return;
        }
        if ('control' in state) {
            heardControl(state);
            return;
        }
        if (state.shared === false) {
            shared = false;
            retryMs = LastRetryMs;
            lost();
            return;
        }
        shared = true;
        retryMs = FirstRetryMs;
        show('live');
        render(state);
    }

    function connect() {
        drop();
        const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
        socket = new WebSocket(`${scheme}//${location.host}/live`);
        socket.onmessage = heard;
        socket.onclose = socket.onerror = lost;
        silence = setTimeout(lost, SilenceMs);
    }

    // Sound: browsers play nothing before a tap, so the page is silent until
    // its switch is on. It then plays and says what the program tells it to,
    // when it tells it to: the page keeps no time of its own.
    const soundSwitch = document.getElementById('sound');
    const sounds = new Map([['alert', new Audio('/alert.wav')], ['warning', new Audio('/warning.wav')]]);
    const voice = 'speechSynthesis' in window ? window.speechSynthesis : null;
    let soundOn = false;

    soundSwitch.addEventListener('click', () => {
        soundOn = !soundOn;
        soundSwitch.setAttribute('aria-pressed', String(soundOn));
        if (!soundOn) {
            for (const audio of sounds.values())
                audio.pause();
            if (voice)
                voice.cancel();
            return;
        }
        // Started within the tap, silently, so that the browser lets them
        // play later without one.
        for (const audio of sounds.values()) {
            audio.muted = true;
            audio.play().then(() => audio.pause()).catch(() => {}).finally(() => {
                audio.muted = false;
            });
        }
        if (voice)
            voice.speak(new SpeechSynthesisUtterance(''));
    });

    // {"sound": "alert" | "warning"} or {"say": sentence}.
    function announce(message) {
        if (!soundOn)
            return;
        const audio = sounds.get(message.sound);
        if (audio) {
            audio.currentTime = 0;
            audio.muted = false;
            audio.play().catch(() => {});
        }
        if (typeof message.say === 'string' && voice) {
            // The newest news replaces what is still being said.
            voice.cancel();
            const sentence = new SpeechSynthesisUtterance(message.say);
            sentence.lang = 'en';
            voice.speak(sentence);
        }
    }

    addEventListener('resize', () => controls.forEach(fit));
    if (key) {
        remote.hidden = false;
        document.body.classList.add('remote');
        buttons[0].addEventListener('click', () => press('pause'));
        buttons[1].addEventListener('click', () => press('resume'));
    }

    // Keeping the screen on: the Screen Wake Lock where the browser grants it
    // (most want HTTPS), else, after a tap, a muted video that never ends,
    // which keeps most phones awake.
    let lock = null;
    async function lockScreen() {
        if (!('wakeLock' in navigator))
            return false;
        try {
            lock = await navigator.wakeLock.request('screen');
            lock.addEventListener('release', () => { lock = null; });
            return true;
        } catch {
            return false;
        }
    }

    function playEndlessVideo() {
        const canvas = document.createElement('canvas');
        canvas.width = canvas.height = 2;
        if (!canvas.captureStream)
            return;
        const paint = canvas.getContext('2d');
        let frame = 0;
        // A stream that changes, so that the player never sees it stall.
        setInterval(() => {
            paint.fillStyle = frame++ % 2 ? '#000000' : '#010101';
            paint.fillRect(0, 0, 2, 2);
        }, 1000);
        const video = document.createElement('video');
        video.className = 'awake';
        video.muted = true;
        video.loop = true;
        video.playsInline = true;
        video.setAttribute('playsinline', '');
        video.srcObject = canvas.captureStream(1);
        document.body.append(video);
        video.play().catch(() => {});
    }

    awake.addEventListener('click', async () => {
        awake.hidden = true;
        if (!(await lockScreen()))
            playEndlessVideo();
    });
    document.addEventListener('visibilitychange', () => {
        // A lock ends when the page is hidden; take it again on return.
        if (document.visibilityState === 'visible' && awake.hidden && !lock)
            lockScreen();
    });
    lockScreen().then((locked) => { awake.hidden = locked; });

    show('connecting');
    connect();
})();

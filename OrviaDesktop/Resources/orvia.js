"use strict";

// The kiosk page of Orvia. The shell collapses it into a bubble with orviaPause and brings it back with
// orviaResume; both may arrive at any time, repeatedly, even before the document has finished parsing.
// State for tests and styles lives on <html>: data-orvia-state, data-orvia-mic, data-orvia-tracks (heard),
// data-orvia-face, data-orvia-kiosk.
(function () {
    const root = document.documentElement;
    const RETRY_MS = 15000;
    // A collapse keeps the microphone, silenced, this long before giving it back: every new
    // microphone and its audio source cost the engine nearly a megabyte it never gives back, and a
    // quick collapse and expand should not pay that.
    const RELEASE_MS = 60000;
    // The meter reads the microphone 20 times a second: lively to the eye, and the page is not
    // redrawn at frame rate on a kiosk's CPU for it.
    const METER_MS = 50;
    const MIC_TEXT = {
        asking: "Turning on the microphone…",
        listening: "Listening",
        unavailable: "Microphone unavailable",
        off: "Paused",
    };
    // Errors after which asking again cannot help until something changes.
    const FINAL_MIC_ERRORS = ["NotAllowedError", "SecurityError", "TypeError"];

    let running = true;
    let mic = "off"; // the markup already says "asking" for the time before the first request
    let micRequest = 0; // bumped to orphan a request still in flight
    let stream = null;
    let audio = null;
    let meterTimer = 0;
    let retryTimer = 0;
    let releaseTimer = 0;
    let shownLevel = -1;

    window.orviaPause = function () {
        running = false;
        root.dataset.orviaState = "paused";
        clearTimeout(retryTimer);
        retryTimer = 0;
        holdMicrophone();
        setMic("off");
        clearTimeout(releaseTimer);
        releaseTimer = setTimeout(() => {
            releaseTimer = 0;
            releaseMicrophone();
        }, RELEASE_MS);
    };

    window.orviaResume = function () {
        running = true;
        root.dataset.orviaState = "running";
        clearTimeout(releaseTimer);
        releaseTimer = 0;
        if (document.readyState !== "loading" && !takeBackMicrophone()) {
            startMicrophone();
        }
    };

    if (document.readyState === "loading") {
        document.addEventListener("DOMContentLoaded", start, { once: true });
    } else {
        start();
    }

    function start() {
        showKioskCode();
        watchFace();
        byId("minimize").addEventListener("click", () => post({ type: "minimize" }));
        byId("help").addEventListener("click", (event) => {
            if (post({ type: "openExternal", url: event.currentTarget.href })) {
                event.preventDefault();
            }
        });
        document.addEventListener("contextmenu", (event) => event.preventDefault());
        const media = navigator.mediaDevices;
        if (media && typeof media.addEventListener === "function") {
            media.addEventListener("devicechange", () => {
                if (mic === "unavailable") {
                    startMicrophone();
                }
            });
        }
        startMicrophone();
    }

    function byId(id) {
        return document.getElementById(id);
    }

    // Returns whether the shell took the message; in a plain browser there is no bridge.
    function post(message) {
        try {
            const bridge = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.orvia;
            if (!bridge || typeof bridge.postMessage !== "function") {
                return false;
            }
            bridge.postMessage(message);
            return true;
        } catch (error) {
            return false;
        }
    }

    // A short, stable code that support can match against the member identifier.
    function kioskCode(memberId) {
        if (typeof memberId !== "string" || memberId === "") {
            return null;
        }
        let hash = 0x811c9dc5; // FNV-1a over the UTF-8 bytes
        for (const byte of new TextEncoder().encode(memberId)) {
            hash = Math.imul(hash ^ byte, 0x01000193) >>> 0;
        }
        const hex = hash.toString(16).toUpperCase().padStart(8, "0");
        return hex.slice(0, 4) + "-" + hex.slice(4);
    }

    function showKioskCode() {
        const code = kioskCode(window.ORVIA_MEMBER_ID);
        root.dataset.orviaKiosk = code || "none";
        if (code) {
            byId("kiosk-code").textContent = code;
        }
    }

    // Without the embedded image (token left as is, or data that does not decode) the drawn face stays.
    function watchFace() {
        const image = byId("face-image");
        const decided = (ok) => {
            root.dataset.orviaFace = ok ? "image" : "drawn";
        };
        if (!image.getAttribute("src").startsWith("data:image/")) {
            decided(false);
        } else if (image.complete) {
            decided(image.naturalWidth > 0);
        } else {
            image.addEventListener("load", () => decided(true), { once: true });
            image.addEventListener("error", () => decided(false), { once: true });
        }
    }

    function setMic(state) {
        mic = state;
        root.dataset.orviaMic = state;
        const text = byId("mic-text");
        if (text) {
            text.textContent = MIC_TEXT[state];
        }
    }

    // The tracks the page hears: a held microphone's are silenced.
    function countTracks() {
        const heard = stream ? stream.getAudioTracks().filter((track) => track.readyState === "live" && track.enabled).length : 0;
        root.dataset.orviaTracks = String(heard);
    }

    function startMicrophone() {
        if (!running || mic === "asking" || mic === "listening") {
            return;
        }
        clearTimeout(retryTimer);
        retryTimer = 0;
        const media = navigator.mediaDevices;
        if (!media || typeof media.getUserMedia !== "function") {
            setMic("unavailable");
            return;
        }
        const request = ++micRequest;
        setMic("asking");
        let pending;
        try {
            pending = media.getUserMedia({ audio: true });
        } catch (error) {
            pending = Promise.reject(error);
        }
        pending.then(
            (granted) => {
                if (request !== micRequest || !running) {
                    stopTracks(granted);
                    return;
                }
                stream = granted;
                for (const track of granted.getAudioTracks()) {
                    track.addEventListener("ended", () => lostMicrophone(granted));
                }
                countTracks();
                setMic("listening");
                startMeter();
            },
            (error) => {
                if (request === micRequest) {
                    micUnavailable(error && error.name);
                }
            },
        );
    }

    // The microphone was unplugged or taken away while listening; a held one is looked at on resume.
    function lostMicrophone(lost) {
        if (lost === stream && running) {
            releaseMicrophone();
            micUnavailable("ended");
        }
    }

    function micUnavailable(reason) {
        setMic("unavailable");
        if (running && !FINAL_MIC_ERRORS.includes(reason)) {
            clearTimeout(retryTimer);
            retryTimer = setTimeout(() => {
                retryTimer = 0;
                startMicrophone();
            }, RETRY_MS);
        }
    }

    // Paused: nothing is heard or drawn, but the microphone stays the page's for a while.
    function holdMicrophone() {
        micRequest++;
        pauseMeter();
        if (stream) {
            for (const track of stream.getAudioTracks()) {
                track.enabled = false;
            }
        }
        countTracks();
    }

    // Returns whether the held microphone is still live and listens again.
    function takeBackMicrophone() {
        if (!stream) {
            return false;
        }
        if (!stream.getAudioTracks().some((track) => track.readyState === "live")) {
            releaseMicrophone();
            return false;
        }
        for (const track of stream.getAudioTracks()) {
            track.enabled = true;
        }
        countTracks();
        setMic("listening");
        startMeter();
        return true;
    }

    function releaseMicrophone() {
        micRequest++;
        stopMeter();
        if (stream) {
            stopTracks(stream);
            stream = null;
        }
        countTracks();
    }

    function stopTracks(media) {
        for (const track of media.getTracks()) {
            track.stop();
        }
    }

    // One audio context and source for each microphone, suspended while it is held and closed when
    // it is given back: each new one grows the engine's memory for good, and a context kept after its
    // microphone, even suspended, grew it by the minute while collapsed.
    function startMeter() {
        const AudioContextType = window.AudioContext || window.webkitAudioContext;
        if (!AudioContextType || !stream) {
            return;
        }
        try {
            if (!audio) {
                const context = new AudioContextType();
                const analyser = context.createAnalyser();
                analyser.fftSize = 1024;
                audio = { context, analyser, samples: new Uint8Array(analyser.fftSize), level: 0, source: null };
            }
            if (!audio.source) {
                audio.source = audio.context.createMediaStreamSource(stream);
                audio.source.connect(audio.analyser);
            }
            if (audio.context.state === "suspended") {
                audio.context.resume().catch(() => {});
            }
        } catch (error) {
            // Listening still works without a meter.
            stopMeter();
            return;
        }
        meterTimer = setTimeout(drawLevel, METER_MS);
    }

    function drawLevel() {
        meterTimer = 0;
        if (!audio || !audio.source) {
            return;
        }
        const samples = audio.samples;
        audio.analyser.getByteTimeDomainData(samples);
        let sum = 0;
        for (let i = 0; i < samples.length; i++) {
            const centred = (samples[i] - 128) / 128;
            sum += centred * centred;
        }
        const decibels = 20 * Math.log10(Math.sqrt(sum / samples.length) || 1e-6);
        // -60 dB is silence on the meter, -12 dB a loud voice close by; it rises fast and falls slowly.
        const target = Math.min(1, Math.max(0, (decibels + 60) / 48));
        audio.level = target > audio.level ? target : audio.level * 0.73 + target * 0.27;
        showLevel(audio.level);
        meterTimer = setTimeout(drawLevel, METER_MS);
    }

    // The level is shown in fifths, on the halo and the meter's bars (orvia.css): each change
    // repaints on the CPU, so a voice costs a few repaints a second rather than one every tick.
    // Only an attribute changes, to one of six values the engine has seen: a custom property the
    // styles computed from grew the engine's memory with every change.
    const LEVEL_STEPS = 5;
    let levelShownOn = null;

    function showLevel(level) {
        const step = Math.round(level * LEVEL_STEPS);
        if (step === shownLevel) {
            return;
        }
        shownLevel = step;
        if (!levelShownOn) {
            levelShownOn = Array.from(document.querySelectorAll(".halo, .meter"));
        }
        const value = String(step);
        for (const element of levelShownOn) {
            element.dataset.level = value;
        }
    }

    function pauseMeter() {
        clearTimeout(meterTimer);
        meterTimer = 0;
        if (audio) {
            audio.level = 0;
            audio.context.suspend().catch(() => {});
        }
        if (byId("stage")) {
            showLevel(0);
        }
    }

    function stopMeter() {
        pauseMeter();
        if (audio) {
            if (audio.source) {
                audio.source.disconnect();
            }
            audio.context.close().catch(() => {});
            audio = null;
        }
    }
})();
